#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace durnmoor {

// The parts of the number at the start of a text: blanks skipped, an optional sign,
// digits, an optional point with digits, and an optional exponent (e, E, d or D followed
// by digits; "12e" is 12). Reading stops at the first other character.
struct LeadingNumber {
    bool found = false; // false when the text does not begin with a number
    bool negative = false;
    std::string digits;               // whole and fraction digits run together
    std::int64_t fraction_digits = 0; // how many of them follow the point
    std::int64_t exponent = 0;        // capped far beyond any useful value
};
LeadingNumber scan_leading_number(std::string_view text);

// The value of the number at the start of a text: blanks skipped, an optional sign,
// digits, an optional point with digits and an optional exponent. Reading stops at the
// first other character; a text with no leading number is 0.
double leading_number(std::string_view text);

// The form numbers take in data files: a blank (or the minus sign), the digits with no
// zero before the point, and one trailing blank: " 12 ", " .5 ", "-3 ", " 0 ".
std::string number_form(double value);

// The shortest plain decimal form, as the interval box shows it: "12", "1.5", "-3", "0".
std::string plain_number(double value);

} // namespace durnmoor
