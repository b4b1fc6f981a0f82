#include "register/search_words.h"

#include "app/record_file.h"

#include <QByteArrayView>

#include <algorithm>

namespace durnmoor {

QStringList wildcards(QStringView search_text)
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

} // namespace

RecordSearch::RecordSearch(QStringList words) : words_(std::move(words)) {}

bool RecordSearch::matches(const RecordFile &data, std::size_t record)
{
    lines_.resize(std::max(lines_.size(), std::size_t(data.record_lines())));
    // Empty lines are left out: they hold no word, not even an empty one.
    const auto first = lines_.begin();
    auto last = first;
    data.each_line(record, [&last](int, std::string_view line) {
        if (!line.empty())
            small_letters(line, *last++);
    });
    return std::all_of(words_.cbegin(), words_.cend(), [first, last](const QString &word) {
        return std::any_of(first, last,
                           [&word](const QString &line) { return line.contains(word); });
    });
}

} // namespace durnmoor
