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

} // namespace durnmoor
