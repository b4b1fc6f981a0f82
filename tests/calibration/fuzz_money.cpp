// Lines of the input as two cost texts and a count: amounts read exactly to the nearest
// ten-thousandth, show in a form that reads back, and add and divide exactly.
#include "calibration/money.h"
#include "text/number_form.h"

#include "fuzz_support.h"

#include <string>

using namespace durnmoor;
using fuzz::require;

namespace {

using int128 = __int128;

// The amount in ten-thousandths worked out exactly in 128 bits, rounded half away from zero;
// false for numbers of more than 30 significant digits. Past 2^64 it stops counting.
bool exact_units(const LeadingNumber &number, int128 &units)
{
    const std::size_t first = number.digits.find_first_not_of('0');
    const std::string digits = first == std::string::npos ? "" : number.digits.substr(first);
    if (digits.size() > 30)
        return false;
    units = 0;
    for (const char c : digits)
        units = units * 10 + (c - '0');
    std::int64_t shift = number.exponent - number.fraction_digits + 4;
    for (; shift > 0 && units != 0 && units <= int128(1) << 64; --shift)
        units *= 10;
    if (shift < 0) {
        int128 power = 1;
        for (; shift < 0 && power <= units; ++shift)
            power *= 10;
        units = shift < 0 ? 0 : units / power + (units % power * 2 >= power ? 1 : 0);
    }
    if (number.negative)
        units = -units;
    return true;
}

void require_sound(std::string_view text, std::optional<Money> amount)
{
    const LeadingNumber number = scan_leading_number(text);
    int128 exact = 0;
    if (!number.found)
        require(!amount);
    else if (exact_units(number, exact))
        require(exact >= INT64_MIN && exact <= INT64_MAX ? amount && amount->units() == exact
                                                         : !amount);
    if (!amount)
        return;
    const std::string shown = amount->format();
    const std::size_t point = shown.find('.');
    const std::size_t decimals = shown.size() - point - 1;
    require(point != std::string::npos && decimals >= 2 && decimals <= 4);
    require(decimals == 2 || shown.back() != '0');
    require(Money::parse_leading(shown) == amount);
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    const auto parts = fuzz::lines(text, 3);
    const auto a = Money::parse_leading(parts[0]);
    const auto b = Money::parse_leading(parts[1]);
    require_sound(parts[0], a);
    require_sound(parts[1], b);
    if (!a)
        return;

    if (b) {
        Money sum = *a;
        const int128 exact = static_cast<int128>(a->units()) + b->units();
        const bool fits = exact >= INT64_MIN && exact <= INT64_MAX;
        require(sum.add(*b) == fits);
        require(sum.units() == (fits ? static_cast<std::int64_t>(exact) : a->units()));
    }

    const std::int64_t count = std::strtoll(std::string(parts[2]).c_str(), nullptr, 10);
    const Money share = a->divided_by(count);
    if (count < 1) {
        require(share == Money());
        return;
    }
    // Nearest to the exact quotient, halves away from zero.
    const int128 back = static_cast<int128>(share.units()) * count;
    const int128 error = back - a->units();
    const int128 twice = error < 0 ? -2 * error : 2 * error;
    require(twice <= count);
    if (twice == count)
        require(a->units() < 0 ? back < a->units() : back > a->units());
}
