#include "register/list_entries.h"

#include <QByteArrayView>

#include <algorithm>

namespace durnmoor {

QString list_text(std::string_view line)
{
    return QString::fromLocal8Bit(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
}

namespace {

// The list's order compares texts folded to small letters, code unit by code unit. Each folded
// text is kept as big-endian UTF-16 bytes in one block, where comparing bytes compares code
// units: the sort reads contiguous memory instead of a string per entry.
class FoldedKeys {
public:
    explicit FoldedKeys(std::size_t count) { spans_.reserve(count); }

    void add(const QString &text)
    {
        const std::size_t begin = bytes_.size();
        if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
            for (const QChar c : text) {
                const char16_t unit = c.unicode();
                bytes_.push_back('\0');
                bytes_.push_back(
                    static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit + 32 : unit));
            }
        } else {
            for (const QChar c : text.toCaseFolded()) {
                bytes_.push_back(static_cast<char>(c.unicode() >> 8));
                bytes_.push_back(static_cast<char>(c.unicode() & 0xff));
            }
        }
        spans_.push_back({begin, bytes_.size() - begin});
    }

    // Whether entry a sorts before entry b; alike texts keep their file order.
    bool before(std::size_t a, std::size_t b) const
    {
        const std::string_view x(bytes_.data() + spans_[a].first, spans_[a].second);
        const std::string_view y(bytes_.data() + spans_[b].first, spans_[b].second);
        const int order = x.compare(y);
        return order != 0 ? order < 0 : a < b;
    }

private:
    std::string bytes_;
    std::vector<std::pair<std::size_t, std::size_t>> spans_; // where each text lies in bytes_
};

} // namespace

std::vector<std::size_t> list_order(const ProductsData &data, int key_line,
                                    const std::function<bool(std::size_t)> &wanted,
                                    const std::function<void()> &tick)
{
    std::vector<std::size_t> records;
    records.reserve(data.size());
    FoldedKeys folded(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (!wanted || wanted(i)) {
            folded.add(list_text(data.line(i, key_line)));
            records.push_back(i);
        }
        if (tick)
            tick();
    }
    std::vector<std::size_t> order(records.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&folded](std::size_t a, std::size_t b) { return folded.before(a, b); });
    for (std::size_t &i : order)
        i = records[i];
    return order;
}

ListEntry entry_at(const ProductsData &data, int key_line, std::size_t record)
{
    const std::string_view key = data.line(record, key_line);
    return {list_text(key), std::string(key), record};
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
