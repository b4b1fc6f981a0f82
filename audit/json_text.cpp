#include "audit/json_text.h"

#include <QByteArray>
#include <QString>

#include <bit>
#include <cstring>

namespace durnmoor {

namespace {

// Where the run of bytes a string holds as they are ends: at the first control character,
// quote, backslash or byte past ASCII. Eight bytes at a time, since most of a trail's check
// is spent in its strings: each test below marks the bytes it finds (a borrow can only mark
// a byte after one truly found), so the lowest mark is the first such byte.
const unsigned char *plain_run(const unsigned char *p, const unsigned char *end)
{
    constexpr std::uint64_t ones = 0x0101010101010101u, highs = 0x8080808080808080u;
    auto below = [](std::uint64_t word, std::uint64_t limit) {
        return (word - limit) & ~word & highs;
    };
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            const std::uint64_t marks = (word & highs) | below(word, 0x20 * ones) |
                                        below(word ^ ('"' * ones), ones) |
                                        below(word ^ ('\\' * ones), ones);
            if (marks)
                return p + std::countr_zero(marks) / 8;
            p += 8;
        }
    }
    while (p < end && *p >= 0x20 && *p < 0x80 && *p != '"' && *p != '\\')
        ++p;
    return p;
}

} // namespace

std::size_t utf8_sequence(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    auto follows = [&](std::size_t i, unsigned char low = 0x80, unsigned char high = 0xbf) {
        return p + i < end && p[i] >= low && p[i] <= high;
    };
    if (c < 0xc2)
        return 0;
    if (c < 0xe0)
        return follows(1) ? 2 : 0;
    if (c < 0xf0) {
        const bool second = c == 0xe0   ? follows(1, 0xa0)
                            : c == 0xed ? follows(1, 0x80, 0x9f)
                                        : follows(1);
        return second && follows(2) ? 3 : 0;
    }
    if (c < 0xf5) {
        const bool second = c == 0xf0   ? follows(1, 0x90)
                            : c == 0xf4 ? follows(1, 0x80, 0x8f)
                                        : follows(1);
        return second && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

bool valid_utf8(std::string_view text)
{
    auto p = reinterpret_cast<const unsigned char *>(text.data());
    const auto end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const std::size_t length = utf8_sequence(p, end);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

void put_json_text(std::string &out, std::string_view text)
{
    QByteArray mended;
    if (!valid_utf8(text)) {
        mended = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
        text = std::string_view(mended.constData(), static_cast<std::size_t>(mended.size()));
    }
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    std::size_t plain = 0; // where the run of bytes written as they are starts
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(text, plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0x0f];
        }
    }
    out.append(text, plain, text.size() - plain);
    out += '"';
}

JsonReader::JsonReader(std::string_view text)
    : p_(reinterpret_cast<const unsigned char *>(text.data())), end_(p_ + text.size())
{
}

bool JsonReader::at_end()
{
    blanks();
    return p_ == end_;
}

bool JsonReader::text(std::string &out)
{
    if (!take('"'))
        return false;
    const unsigned char *run = p_;
    p_ = plain_run(p_, end_);
    out.assign(reinterpret_cast<const char *>(run), static_cast<std::size_t>(p_ - run));
    for (;;) {
        if (p_ == end_ || *p_ < 0x20)
            return false;
        if (*p_ == '"') {
            ++p_;
            return true;
        }
        if (*p_ == '\\') {
            if (!escape(out))
                return false;
        } else {
            const std::size_t length = utf8_sequence(p_, end_);
            if (length == 0)
                return false;
            out.append(reinterpret_cast<const char *>(p_), length);
            p_ += length;
        }
        run = p_;
        p_ = plain_run(p_, end_);
        out.append(reinterpret_cast<const char *>(run), static_cast<std::size_t>(p_ - run));
    }
}

bool JsonReader::name(std::string_view &out)
{
    if (!take('"'))
        return false;
    const unsigned char *run = p_;
    const unsigned char *stop = plain_run(p_, end_);
    if (stop < end_ && *stop == '"') {
        out = std::string_view(reinterpret_cast<const char *>(run),
                               static_cast<std::size_t>(stop - run));
        p_ = stop + 1;
        return true;
    }
    --p_; // back to the quote, to read the name whole
    if (!text(name_))
        return false;
    out = name_;
    return true;
}

bool JsonReader::whole_number(std::int64_t &out)
{
    blanks();
    if (p_ == end_ || *p_ < '1' || *p_ > '9')
        return false;
    out = 0;
    int digits = 0;
    for (; p_ < end_ && *p_ >= '0' && *p_ <= '9'; ++p_)
        if (++digits > 18) // far beyond any trail, and clear of overflow
            return false;
        else
            out = out * 10 + (*p_ - '0');
    return true;
}

bool JsonReader::skip_value(int depth)
{
    if (depth > 64)
        return false;
    blanks();
    if (p_ == end_)
        return false;
    switch (*p_) {
    case '"':
        return text(skipped_);
    case '{': {
        ++p_;
        std::string_view skipped_name;
        if (take('}'))
            return true;
        do {
            if (!name(skipped_name) || !take(':') || !skip_value(depth + 1))
                return false;
        } while (take(','));
        return take('}');
    }
    case '[':
        ++p_;
        if (take(']'))
            return true;
        do {
            if (!skip_value(depth + 1))
                return false;
        } while (take(','));
        return take(']');
    case 't':
        return word("true");
    case 'f':
        return word("false");
    case 'n':
        return word("null");
    default:
        return number();
    }
}

bool JsonReader::word(std::string_view literal)
{
    if (static_cast<std::size_t>(end_ - p_) < literal.size() ||
        std::string_view(reinterpret_cast<const char *>(p_), literal.size()) != literal)
        return false;
    p_ += literal.size();
    return true;
}

std::size_t JsonReader::digits()
{
    const unsigned char *start = p_;
    while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
        ++p_;
    return static_cast<std::size_t>(p_ - start);
}

bool JsonReader::number()
{
    if (p_ < end_ && *p_ == '-')
        ++p_;
    if (p_ < end_ && *p_ == '0')
        ++p_;
    else if (digits() == 0)
        return false;
    if (p_ < end_ && *p_ == '.' && (++p_, digits() == 0))
        return false;
    if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
        ++p_;
        if (p_ < end_ && (*p_ == '+' || *p_ == '-'))
            ++p_;
        if (digits() == 0)
            return false;
    }
    return true;
}

bool JsonReader::hex4(char32_t &out)
{
    if (end_ - p_ < 4)
        return false;
    out = 0;
    for (int i = 0; i < 4; ++i, ++p_) {
        const unsigned char c = *p_;
        const int value = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (value < 0)
            return false;
        out = out * 16 + static_cast<char32_t>(value);
    }
    return true;
}

bool JsonReader::escape(std::string &out)
{
    ++p_; // the backslash
    if (p_ == end_)
        return false;
    const unsigned char c = *p_++;
    switch (c) {
    case '"':
    case '\\':
    case '/':
        out += static_cast<char>(c);
        return true;
    case 'b':
        out += '\b';
        return true;
    case 'f':
        out += '\f';
        return true;
    case 'n':
        out += '\n';
        return true;
    case 'r':
        out += '\r';
        return true;
    case 't':
        out += '\t';
        return true;
    case 'u':
        break;
    default:
        return false;
    }
    char32_t code = 0;
    if (!hex4(code) || (code >= 0xdc00 && code <= 0xdfff))
        return false;
    if (code >= 0xd800 && code <= 0xdbff) {
        char32_t low = 0;
        if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u')
            return false;
        p_ += 2;
        if (!hex4(low) || low < 0xdc00 || low > 0xdfff)
            return false;
        code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
    }
    put_utf8(out, code);
    return true;
}

void JsonReader::put_utf8(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xc0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xe0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    }
}

} // namespace durnmoor
