#include "register/search_words.h"

#include "register/folded_find.h"
#include "store/record_file.h"

#include <QByteArrayView>

#include <algorithm>

namespace durnmoor {

QStringList search_words(QStringView search_text)
{
    QStringList words(max_search_words);
    int word = 1;
    const qsizetype length = search_text.size();
    for (qsizetype pos = 0; pos < length; ++pos) {
        if (search_text[pos] == u',') {
            // The comma is skipped and the character after it taken in its place, so a
            // second comma right behind it is text of the new word.
            ++word;
            ++pos;
        }
        word = std::min(word, max_search_words);
        if (pos < length)
            words[word - 1] += search_text[pos];
    }
    words.resize(word);
    for (QString &w : words)
        w = std::move(w).toLower();
    return words;
}

namespace {

// A line in small letters, into storage kept from the record before. Lines of plain ASCII,
// nearly all of them, read the same in every 8-bit encoding and are lowered in place.
void small_letters(std::string_view line, QString &out)
{
    if (!std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; })) {
        out = QString::fromLocal8Bit(QByteArrayView(line.data(), qsizetype(line.size()))).toLower();
        return;
    }
    out.resize(qsizetype(line.size()));
    QChar *to = out.data();
    for (const char c : line)
        *to++ = QLatin1Char(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
}

// Whether some line of the record is not empty: the lines an empty word occurs in.
bool has_text(const RecordFile &data, std::size_t record)
{
    bool any = false;
    data.each_line(record, [&any](int, std::string_view line) { any = any || !line.empty(); });
    return any;
}

} // namespace

RecordSearch::RecordSearch(QStringList words) : words_(std::move(words))
{
    for (const QString &word : words_) {
        const bool plain = std::all_of(word.cbegin(), word.cend(),
                                       [](QChar c) { return c.unicode() < 0x80 && c != u'\n'; });
        plain_words_.push_back(plain ? std::optional(word.toStdString()) : std::nullopt);
    }
}

bool RecordSearch::matches(const RecordFile &data, std::size_t record)
{
    // The record's plain ASCII lines go into one block, lowered and each ended by a line end
    // that no word holds, so a plain word is looked for once per record, not once per line.
    // The few other lines are decoded and lowered one by one.
    plain_lines_.clear();
    lines_.resize(std::max(lines_.size(), std::size_t(data.record_lines())));
    const auto first = lines_.begin();
    auto last = first;
    bool any_line = false;
    data.each_line(record, [&](int, std::string_view line) {
        // Empty lines are left out: they hold no word, not even an empty one.
        if (line.empty())
            return;
        any_line = true;
        if (std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; })) {
            for (const char c : line)
                plain_lines_.push_back(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
            plain_lines_.push_back('\n');
        } else {
            small_letters(line, *last++);
        }
    });
    for (std::size_t i = 0; i < plain_words_.size(); ++i) {
        const QString &word = words_[static_cast<qsizetype>(i)];
        if (word.isEmpty()) {
            if (!any_line)
                return false;
            continue;
        }
        const bool in_plain =
            plain_words_[i] && plain_lines_.find(*plain_words_[i]) != std::string::npos;
        if (!in_plain &&
            !std::any_of(first, last, [&word](const QString &line) { return line.contains(word); }))
            return false;
    }
    return true;
}

std::size_t RecordSearch::find_word(const RecordFile &data, std::string_view word,
                                    std::uint8_t index, std::vector<std::uint8_t> &found,
                                    std::size_t running) const
{
    const FoldedFinder finder(word);
    const char *const bytes = data.bytes().data();
    const std::size_t records = data.size();
    std::size_t moved_on = 0;
    const auto holds = [&](std::size_t record) {
        const char *begin = bytes + data.record_start(record);
        const char *end = bytes + data.record_start(record + 1);
        return finder.find(begin, end) != end;
    };
    if (running < records / 8) {
        // Few left in the running: each is looked at alone.
        for (std::size_t record = 0; record < records; ++record) {
            if (found[record] == index && holds(record)) {
                found[record] = static_cast<std::uint8_t>(index + 1);
                ++moved_on;
            }
        }
        return moved_on;
    }
    // One walk over the file. The word holds no line end, so where it stands it stands within
    // one line of one record; the rest of that record need not be looked at.
    const char *const end = bytes + data.record_start(records);
    const char *at = bytes;
    std::size_t record = 0;
    while ((at = finder.find(at, end)) != end) {
        const auto offset = static_cast<std::size_t>(at - bytes);
        while (data.record_start(record + 1) <= offset)
            ++record;
        if (found[record] == index) {
            found[record] = static_cast<std::uint8_t>(index + 1);
            ++moved_on;
        }
        at = bytes + data.record_start(record + 1);
    }
    return moved_on;
}

std::vector<bool> RecordSearch::matching(const RecordFile &data)
{
    const std::size_t records = data.size();
    std::vector<bool> matched(records);
    const bool scannable =
        words_.size() < 255 && std::none_of(words_.cbegin(), words_.cend(),
                                            [](const QString &w) { return w.contains(u'\r'); });
    if (!scannable) {
        for (std::size_t record = 0; record < records; ++record)
            matched[record] = matches(data, record);
        return matched;
    }

    // The plain words, over the records of plain ASCII: a word beyond ASCII or holding a line
    // end is in no ASCII line, so such a record cannot match it.
    std::vector<std::uint8_t> found(records, 0);
    std::uint8_t words_found = 0;
    std::size_t running = records;
    bool ascii_may_match = true;
    bool empty_word = false;
    for (std::size_t i = 0; i < plain_words_.size() && ascii_may_match && running > 0; ++i) {
        if (words_[static_cast<qsizetype>(i)].isEmpty()) {
            empty_word = true;
        } else if (!plain_words_[i]) {
            ascii_may_match = false;
        } else {
            running = find_word(data, *plain_words_[i], words_found, found, running);
            ++words_found;
        }
    }
    for (std::size_t record = 0; record < records; ++record) {
        matched[record] = ascii_may_match && found[record] == words_found &&
                          (!empty_word || has_text(data, record));
    }

    const char *const bytes = data.bytes().data();
    const char *const end = bytes + data.record_start(records);
    const char *at = bytes;
    std::size_t record = 0;
    while ((at = first_beyond_ascii(at, end)) != end) {
        const auto offset = static_cast<std::size_t>(at - bytes);
        while (data.record_start(record + 1) <= offset)
            ++record;
        matched[record] = matches(data, record);
        at = bytes + data.record_start(record + 1);
    }
    return matched;
}

} // namespace durnmoor
