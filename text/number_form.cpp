#include "text/number_form.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace durnmoor {

namespace {

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// The shortest plain decimal text that reads back as the same double: never an exponent,
// so 100000 stays "100000" for every reader of the file.
std::string shortest(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return "0"; // also folds -0 into 0
    // The longest fixed form of a double: 309 whole digits, or 324 decimals and "0.".
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

} // namespace

LeadingNumber scan_leading_number(std::string_view text)
{
    // Past this every digit is out of reach either way; stop counting so that a long
    // run of exponent digits cannot overflow.
    constexpr std::int64_t exponent_cap = 1'000'000'000;
    LeadingNumber number;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number.negative = text[i++] == '-';
    while (i < text.size() && is_digit(text[i]))
        number.digits += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && is_digit(text[i])) {
            number.digits += text[i++];
            ++number.fraction_digits;
        }
    }
    number.found = !number.digits.empty();
    if (!number.found || i >= text.size())
        return number;
    const char e = text[i];
    if (e != 'e' && e != 'E' && e != 'd' && e != 'D')
        return number;
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
        exponent_negative = text[j++] == '-';
    while (j < text.size() && is_digit(text[j])) {
        if (number.exponent < exponent_cap)
            number.exponent = number.exponent * 10 + (text[j] - '0');
        ++j;
    }
    if (exponent_negative)
        number.exponent = -number.exponent;
    return number;
}

double leading_number(std::string_view text)
{
    const LeadingNumber number = scan_leading_number(text);
    if (!number.found)
        return 0.0;
    const std::size_t whole =
        number.digits.size() - static_cast<std::size_t>(number.fraction_digits);
    std::string written = "0";
    written.append(number.digits, 0, whole);
    written += '.';
    written.append(number.digits, whole);
    written += 'e';
    written += std::to_string(number.exponent);
    double value = 0.0;
    const auto result = std::from_chars(written.data(), written.data() + written.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return number.negative ? -value : value;
}

std::string number_form(double value)
{
    std::string digits = shortest(std::fabs(value));
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.')
        digits.erase(0, 1);
    return (value < 0 ? "-" : " ") + digits + " ";
}

std::string plain_number(double value)
{
    return shortest(value);
}

} // namespace durnmoor
