#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace durnmoor {

class RecordFile;

inline constexpr int max_search_words = 50;

// The words of a search text, in small letters: 1 to max_search_words of them. A comma ends
// a word, but the character right after a comma always belongs to the next word, even when
// it is a comma itself; everything after the 49th separating comma is the 50th word, its
// commas dropped. Blanks stay where they are. An empty text is one empty word.
QStringList wildcards(QStringView search_text);

// Tells which records hold every one of a set of words: each word must occur in at least one
// of the record's lines, the line decoded in the system's 8-bit encoding and put in small
// letters. An empty word occurs in every line that is not empty.
class RecordSearch {
public:
    explicit RecordSearch(QStringList words);

    bool matches(const RecordFile &data, std::size_t record);

private:
    QStringList words_;
    std::vector<std::optional<std::string>> plain_words_; // the words that are plain ASCII
    std::string plain_lines_;    // a record's plain lines in small letters, one block
    std::vector<QString> lines_; // its other lines in small letters; storage kept for the next
};

} // namespace durnmoor
