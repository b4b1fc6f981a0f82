#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace durnmoor {

// An amount of money held as a whole number of ten-thousandths, so that costs add up
// exactly: no floating point is involved in reading, summing, dividing or showing one.
class Money {
public:
    static constexpr std::int64_t units_per_whole = 10000; // four decimals

    constexpr Money() = default;
    static constexpr Money from_units(std::int64_t units) { return Money(units); }

    constexpr std::int64_t units() const { return units_; }

    // The number at the start of a cost line, read as the register reads its numbers:
    // blanks and tabs skipped, an optional sign, digits, an optional point with digits,
    // and an optional exponent (e, E, d or D followed by digits, so "1e3" is 1000 and "1e"
    // is 1). Reading stops at the first other character ("12abc" is 12). Digits past the
    // fourth decimal round half away from zero. nullopt when there is no leading number
    // ("n/a", "") or when the amount does not fit.
    static std::optional<Money> parse_leading(std::string_view text);

    // Adds other unless the sum would not fit; then returns false and keeps the value.
    [[nodiscard]] bool add(Money other);

    // This amount divided by count (at least 1), rounded half away from zero to four
    // decimals. A count below 1 gives zero.
    Money divided_by(std::int64_t count) const;

    // "0.00####": two to four decimals, no thousands separator, "-" before negatives.
    std::string format() const;

    friend constexpr bool operator==(Money, Money) = default;

private:
    constexpr explicit Money(std::int64_t units) : units_(units) {}

    std::int64_t units_ = 0;
};

} // namespace durnmoor
