#pragma once

#include <string>
#include <string_view>

namespace durnmoor {

// Finds a word of ASCII in small letters in bytes whose capital letters count as small:
// the search box's words looked for over a whole register at once, sixteen bytes a step.
class FoldedFinder {
public:
    // word: not empty, ASCII, no capital letters.
    explicit FoldedFinder(std::string_view word) : word_(word) {}

    // Where the word first stands whole within [from, to), or to.
    const char *find(const char *from, const char *to) const;

private:
    bool stands_at(const char *at) const;

    std::string word_;
};

// The first byte at or after from, before to, that is not ASCII; to when there is none.
const char *first_beyond_ascii(const char *from, const char *to);

} // namespace durnmoor
