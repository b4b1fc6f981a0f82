#include "calibration/money.h"

#include "text/number_form.h"

#include <limits>

namespace durnmoor {

namespace {

constexpr int decimals = 4;
constexpr std::uint64_t largest_positive = std::numeric_limits<std::int64_t>::max();
constexpr std::uint64_t largest_negative = largest_positive + 1;
bool push_digit(std::uint64_t &value, unsigned digit, std::uint64_t limit)
{
    if (value > (limit - digit) / 10)
        return false;
    value = value * 10 + digit;
    return true;
}

std::uint64_t magnitude(std::int64_t units)
{
    return units < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(units)
                     : static_cast<std::uint64_t>(units);
}

} // namespace

std::optional<Money> Money::parse_leading(std::string_view text)
{
    LeadingNumber number = scan_leading_number(text);
    if (!number.found)
        return std::nullopt;
    const bool negative = number.negative;
    const std::int64_t fraction_digits = number.fraction_digits;
    const std::int64_t exponent = number.exponent;
    std::string &digits = number.digits;

    const std::size_t first_significant = digits.find_first_not_of('0');
    if (first_significant == std::string::npos)
        return Money(); // "-0" too
    digits.erase(0, first_significant);

    // The amount is digits x 10^(exponent - fraction_digits); counted in ten-thousandths
    // the digits move left by shift places (right when shift is negative).
    const std::int64_t shift = exponent - fraction_digits + decimals;
    const std::int64_t kept = static_cast<std::int64_t>(digits.size()) + shift;
    const std::uint64_t limit = negative ? largest_negative : largest_positive;
    std::uint64_t value = 0;
    if (kept > std::numeric_limits<std::uint64_t>::digits10 + 1)
        return std::nullopt;
    for (std::int64_t k = 0; k < kept; ++k) {
        const std::size_t at = static_cast<std::size_t>(k);
        const unsigned digit = at < digits.size() ? static_cast<unsigned>(digits[at] - '0') : 0;
        if (!push_digit(value, digit, limit))
            return std::nullopt;
    }
    // The first digit left out decides the rounding, half away from zero.
    if (kept >= 0 && static_cast<std::size_t>(kept) < digits.size() &&
        digits[static_cast<std::size_t>(kept)] >= '5') {
        if (value == limit)
            return std::nullopt;
        ++value;
    }
    // Two's complement wrap is exact here: value is at most 2^63 for a negative amount.
    return Money(negative ? static_cast<std::int64_t>(std::uint64_t{0} - value)
                          : static_cast<std::int64_t>(value));
}

bool Money::add(Money other)
{
    constexpr std::int64_t top = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t bottom = std::numeric_limits<std::int64_t>::min();
    if ((other.units_ > 0 && units_ > top - other.units_) ||
        (other.units_ < 0 && units_ < bottom - other.units_))
        return false;
    units_ += other.units_;
    return true;
}

Money Money::divided_by(std::int64_t count) const
{
    if (count < 1)
        return Money();
    std::int64_t quotient = units_ / count;
    const std::int64_t remainder = units_ % count;
    const std::uint64_t left_over = magnitude(remainder);
    if (left_over >= static_cast<std::uint64_t>(count) - left_over)
        quotient += units_ < 0 ? -1 : 1;
    return Money(quotient);
}

std::string Money::format() const
{
    const std::uint64_t amount = magnitude(units_);
    std::string text = units_ < 0 ? "-" : "";
    text += std::to_string(amount / units_per_whole);
    text += '.';
    std::uint64_t fraction = amount % units_per_whole;
    char places[decimals];
    for (int k = decimals - 1; k >= 0; --k) {
        places[k] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    int shown = decimals;
    while (shown > 2 && places[shown - 1] == '0')
        --shown;
    text.append(places, static_cast<std::size_t>(shown));
    return text;
}

} // namespace durnmoor
