#include "register/number_form.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace durnmoor {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The shortest text that reads back as the same double, exponent in capitals.
std::string shortest(double value)
{
    if (value == 0.0)
        return "0"; // also folds -0 into 0
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    for (char &c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

} // namespace

double leading_number(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string number;
    bool any_digit = false;
    while (i < text.size() && is_digit(text[i])) {
        number += text[i++];
        any_digit = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && is_digit(text[i])) {
            number += text[i++];
            any_digit = true;
        }
    }
    if (!any_digit)
        return 0.0;
    // An exponent counts only when digits follow it: "12e" is 12.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent += text[j++];
        if (j < text.size() && is_digit(text[j])) {
            while (j < text.size() && is_digit(text[j]))
                exponent += text[j++];
            number += exponent;
        }
    }
    if (number.front() == '.')
        number.insert(number.begin(), '0');
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

std::string number_form(double value)
{
    std::string digits = shortest(std::fabs(value));
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.')
        digits.erase(0, 1);
    return (value < 0 ? "-" : " ") + digits + " ";
}

std::string plain_number(double value) { return shortest(value); }

} // namespace durnmoor
