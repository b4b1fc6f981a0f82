#include "register/list_entries.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace durnmoor {

namespace {

// A line's text folded to small letters, each UTF-16 unit written as UTF-8 writes a code
// point (ASCII as itself), so that comparing the bytes compares the units.
void fold_into(std::string_view line, std::string &folded)
{
    folded.clear();
    if (std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; })) {
        // Plain ASCII reads the same in every 8-bit encoding: folded without decoding.
        for (const char c : line)
            folded.push_back(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
        return;
    }
    for (const QChar c : screen_text(line).toCaseFolded()) {
        const char16_t unit = c.unicode();
        if (unit < 0x80) {
            folded.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            folded.push_back(static_cast<char>(0xc0 | (unit >> 6)));
            folded.push_back(static_cast<char>(0x80 | (unit & 0x3f)));
        } else {
            folded.push_back(static_cast<char>(0xe0 | (unit >> 12)));
            folded.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3f)));
            folded.push_back(static_cast<char>(0x80 | (unit & 0x3f)));
        }
    }
}

// One list line to sort: the first bytes of its folded text in two integers, where comparing
// the integers compares those bytes. A longer text's whole lies in the keys' block.
struct SortKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint32_t line = 0; // place among the listed records: alike texts keep file order
    std::uint32_t text = 0; // up to inline_bytes: the text's size; beyond: where it lies
};

constexpr std::size_t inline_bytes = 16;

// The list's order compares folded texts; most differ within their first bytes, which the
// sort holds in its keys.
class FoldedKeys {
public:
    explicit FoldedKeys(std::size_t count) { keys_.reserve(count); }

    void add(std::string_view line)
    {
        fold_into(line, folded_);
        SortKey key;
        key.line = static_cast<std::uint32_t>(keys_.size());
        for (std::size_t i = 0; i < inline_bytes && i < folded_.size(); ++i)
            (i < 8 ? key.high : key.low) |= std::uint64_t(uchar(folded_[i])) << (56 - 8 * (i % 8));
        if (folded_.size() <= inline_bytes) {
            key.text = static_cast<std::uint32_t>(folded_.size());
        } else {
            // Kept whole with its size in front, so one number finds both.
            key.text = static_cast<std::uint32_t>(inline_bytes + 1 + long_texts_.size());
            const auto size = static_cast<std::uint32_t>(folded_.size());
            long_texts_.append(reinterpret_cast<const char *>(&size), sizeof size);
            long_texts_ += folded_;
        }
        keys_.push_back(key);
    }

    // The listed places in the list's order.
    std::vector<std::uint32_t> order()
    {
        std::sort(keys_.begin(), keys_.end(), [this](const SortKey &a, const SortKey &b) {
            if (a.high != b.high)
                return a.high < b.high;
            if (a.low != b.low)
                return a.low < b.low;
            if (a.text > inline_bytes || b.text > inline_bytes) {
                const int rest = text(a).compare(text(b));
                if (rest != 0)
                    return rest < 0;
            } else if (a.text != b.text) {
                return a.text < b.text; // the shorter, padded with zero bytes, comes first
            }
            return a.line < b.line;
        });
        std::vector<std::uint32_t> lines(keys_.size());
        for (std::size_t i = 0; i < keys_.size(); ++i)
            lines[i] = keys_[i].line;
        return lines;
    }

private:
    // The whole folded text of a key; for a short one, its inline bytes.
    std::string_view text(const SortKey &key)
    {
        if (key.text <= inline_bytes) {
            short_text_.clear();
            for (std::size_t i = 0; i < key.text; ++i)
                short_text_.push_back(
                    static_cast<char>((i < 8 ? key.high : key.low) >> (56 - 8 * (i % 8))));
            return short_text_;
        }
        const std::size_t at = key.text - inline_bytes - 1;
        std::uint32_t size = 0;
        std::memcpy(&size, long_texts_.data() + at, sizeof size);
        return std::string_view(long_texts_).substr(at + sizeof size, size);
    }

    std::string folded_;     // the text being added
    std::string short_text_; // a short text spelled out for a comparison with a long one
    std::string long_texts_;
    std::vector<SortKey> keys_;
};

} // namespace

std::vector<std::size_t> list_order(const ProductsData &data, int key_line,
                                    const std::function<bool(std::size_t)> &wanted,
                                    const std::function<void()> &tick)
{
    std::vector<std::uint32_t> records;
    records.reserve(data.size());
    FoldedKeys folded(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (!wanted || wanted(i)) {
            folded.add(data.line(i, key_line));
            records.push_back(static_cast<std::uint32_t>(i));
        }
        if (tick)
            tick();
    }
    std::vector<std::size_t> order(records.size());
    const std::vector<std::uint32_t> lines = folded.order();
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = records[lines[i]];
    return order;
}

const std::vector<std::size_t> &FullOrder::of(const std::shared_ptr<const ProductsData> &data,
                                              int key_line, const std::function<void()> &tick)
{
    // The order also depends on the system's encoding, which does not change while running.
    if (made_from_.lock() != data || key_line_ != key_line) {
        records_ = list_order(*data, key_line, {}, tick);
        made_from_ = data;
        key_line_ = key_line;
    }
    return records_;
}

void FullOrder::carry_over(const RegisterEdit &edit)
{
    if (made_from_.lock() != edit.before || !edit.holds())
        return;
    if (edit.changed)
        move_changed(*edit.before, *edit.after, *edit.changed);
    else
        leave_out(edit.dropped);
    made_from_ = edit.after;
}

void FullOrder::move_changed(const ProductsData &before, const ProductsData &after,
                             std::size_t changed)
{
    if (changed < before.size()) {
        const auto was = std::find(records_.begin(), records_.end(), changed);
        if (was != records_.end())
            records_.erase(was);
    }
    std::string key, other;
    fold_into(after.line(changed, key_line_), key);
    // The first line that sorts after the changed record: its text later, or alike and later
    // in the file.
    const auto at = std::partition_point(records_.begin(), records_.end(), [&](std::size_t i) {
        fold_into(after.line(i, key_line_), other);
        const int order = other.compare(key);
        return order < 0 || (order == 0 && i < changed);
    });
    records_.insert(at, changed);
}

void FullOrder::leave_out(const std::vector<bool> &dropped)
{
    // Each record left moves up by the records dropped before it; records keep their order
    // among themselves, so lines alike still stand in file order.
    std::vector<std::size_t> moved_to(dropped.size());
    std::size_t left = 0;
    for (std::size_t i = 0; i < dropped.size(); ++i)
        moved_to[i] = dropped[i] ? ProductsData::npos : left++;
    std::size_t kept = 0;
    for (const std::size_t record : records_)
        if (!dropped[record])
            records_[kept++] = moved_to[record];
    records_.resize(kept);
}

ListEntry entry_at(const ProductsData &data, int key_line, std::size_t record)
{
    const std::string_view key = data.line(record, key_line);
    return {screen_text(key), std::string(key), record};
}

std::vector<ListEntry> list_entries(const ProductsData &data, int key_line,
                                    const std::function<bool(std::size_t)> &wanted,
                                    const std::function<void()> &tick)
{
    std::vector<ListEntry> entries;
    for (const std::size_t record : list_order(data, key_line, wanted, tick))
        entries.push_back(entry_at(data, key_line, record));
    return entries;
}

std::size_t find_entry(const ProductsData &data, int key_line, const ListEntry &entry)
{
    if (entry.record < data.size() && data.line(entry.record, key_line) == entry.key)
        return entry.record;
    return data.find(key_line, entry.key);
}

std::vector<bool> records_of(const ProductsData &data, int key_line,
                             const std::vector<ListEntry> &entries)
{
    std::vector<bool> chosen(data.size(), false);
    for (const ListEntry &entry : entries)
        if (const std::size_t i = find_entry(data, key_line, entry); i != ProductsData::npos)
            chosen[i] = true;
    return chosen;
}

} // namespace durnmoor
