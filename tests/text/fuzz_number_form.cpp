// Any text as the start of a number line, and any finite double as a value to store: the
// reader agrees with strtod on what it takes, and both written forms read back exactly.
#include "text/number_form.h"

#include "fuzz_support.h"

#include <cmath>
#include <cstring>
#include <string>

using namespace durnmoor;
using fuzz::require;

namespace {

bool digit(char c)
{
    return c >= '0' && c <= '9';
}

// The same leading number told to strtod: "d" exponents become "e", and an exponent
// without digits is left off. Long exponents are beyond what strtod and the reader need
// to agree on (the reader caps them), so they give no answer.
bool strtod_reading(std::string_view text, double &value)
{
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos)
        i = text.size();
    std::string plain;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        plain += text[i++];
    std::size_t digits = 0;
    for (; i < text.size() && digit(text[i]); ++i, ++digits)
        plain += text[i];
    if (i < text.size() && text[i] == '.')
        for (plain += text[i++]; i < text.size() && digit(text[i]); ++i, ++digits)
            plain += text[i];
    if (digits == 0) {
        value = 0.0;
        return true;
    }
    if (i < text.size() && std::strchr("eEdD", text[i]) && text[i] != '\0') {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent += text[j++];
        const std::size_t first = j;
        for (; j < text.size() && digit(text[j]); ++j)
            exponent += text[j];
        if (j - first > 6)
            return false;
        if (j > first)
            plain += exponent;
    }
    value = std::strtod(plain.c_str(), nullptr);
    if (!std::isfinite(value))
        value = 0.0;
    return true;
}

void require_reads_back(double value)
{
    const std::string stored = number_form(value);
    // A sign only before a number below zero: negative zero is stored as " 0 ".
    require(stored.size() >= 3 && stored[0] == (value < 0 ? '-' : ' ') && stored.back() == ' ');
    require(stored.find_first_of("eE") == std::string::npos);
    require(stored.compare(1, 2, "0.") != 0); // no zero before the point
    require(leading_number(stored) == value);
    require(leading_number(plain_number(value)) == value);
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    const double read = leading_number(text);
    require(std::isfinite(read));
    require(scan_leading_number(text).found || read == 0.0);
    double expected = 0.0;
    if (strtod_reading(text, expected))
        require(read == expected);
    require_reads_back(read);

    if (text.size() >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, text.data(), sizeof raw);
        if (std::isfinite(raw))
            require_reads_back(raw);
    }
}
