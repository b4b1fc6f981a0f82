#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

class RecordFile;

inline constexpr int max_search_words = 50;

// The words of a search text, in small letters: 1 to max_search_words of them. A comma ends
// a word, but the character right after a comma always belongs to the next word, even when
// it is a comma itself; everything after the 49th separating comma is the 50th word, its
// commas dropped. Blanks stay where they are. An empty text is one empty word.
QStringList search_words(QStringView search_text);

// Tells which records hold every one of a set of words: each word must occur in at least one
// of the record's lines, the line decoded in the system's 8-bit encoding and put in small
// letters. An empty word occurs in every line that is not empty.
class RecordSearch {
public:
    explicit RecordSearch(QStringList words);

    bool matches(const RecordFile &data, std::size_t record);
    // matches() for every record of data, in file order. The plain words are looked for over
    // the whole file at once, record by record only in the few records they may still match;
    // records holding bytes beyond ASCII are matched one by one, since their decoding decides.
    std::vector<bool> matching(const RecordFile &data);

private:
    // Counts, for each record, the words in a row found in it: a record still in the running
    // has found[record] == word; finding word in it moves it on. How many remain in the running.
    std::size_t find_word(const RecordFile &data, std::string_view word, std::uint8_t index,
                          std::vector<std::uint8_t> &found, std::size_t running) const;

    QStringList words_;
    std::vector<std::optional<std::string>> plain_words_; // the words that are plain ASCII
    std::string plain_lines_;    // a record's plain lines in small letters, one block
    std::vector<QString> lines_; // its other lines in small letters; storage kept for the next
};

} // namespace durnmoor
