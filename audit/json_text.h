#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace durnmoor {

// The length of the UTF-8 sequence at p (shortest form, no surrogates, at most U+10FFFF),
// or 0 when the bytes there are not one.
std::size_t utf8_sequence(const unsigned char *p, const unsigned char *end);
bool valid_utf8(std::string_view text);

// A JSON string holding text: quotes, backslashes and control characters escaped,
// everything else as UTF-8 (a byte that is not UTF-8 becomes U+FFFD).
void put_json_text(std::string &out, std::string_view text);

// A JSON text read from its start, a piece at a time; each call says whether the piece was
// there. Blanks between pieces are passed over. Hand-written rather than QJsonDocument: a
// trail's check reads a million lines, and a line only needs its own few keys.
class JsonReader {
public:
    explicit JsonReader(std::string_view text);

    // The character c next.
    bool take(char c)
    {
        // Lines as the trail writes them have no blanks: the character is looked at first.
        if (p_ < end_ && *p_ == static_cast<unsigned char>(c)) {
            ++p_;
            return true;
        }
        blanks();
        if (p_ < end_ && *p_ == static_cast<unsigned char>(c)) {
            ++p_;
            return true;
        }
        return false;
    }
    bool at_end();
    // A string, in UTF-8: its escapes resolved, refused when it holds a raw control
    // character, bytes that are not UTF-8 or half a surrogate pair.
    bool text(std::string &out);
    // The name of a key: a string, as a view of the JSON text itself unless it holds
    // escapes. Valid until the next call: names are compared, not kept.
    bool name(std::string_view &out);
    // A whole number from 1 up, as JSON writes it: no sign, point or exponent.
    bool whole_number(std::int64_t &out);
    // Any JSON value, for a key this version does not know; nested at most 64 deep.
    bool skip_value(int depth = 0);

private:
    void blanks()
    {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r'))
            ++p_;
    }
    bool word(std::string_view literal);
    std::size_t digits();
    bool number();
    bool hex4(char32_t &out);
    bool escape(std::string &out);
    static void put_utf8(std::string &out, char32_t code);

    const unsigned char *p_;
    const unsigned char *end_;
    std::string name_;    // a name that had escapes, decoded
    std::string skipped_; // a string passed over
};

} // namespace durnmoor
