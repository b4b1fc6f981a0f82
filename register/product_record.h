#pragma once

#include <array>
#include <string>
#include <string_view>

namespace durnmoor {

// Line numbers of the instrument record, 1-based as they stand in products.dat.
enum ProductLine : int {
    instrument_no = 1,
    description,
    location,
    cal_company,
    cal_cost,
    cal_mode,
    availability,
    interval_months,
    purchase_day,
    purchase_month,
    purchase_year,
    lastcal_day,
    lastcal_month,
    lastcal_year,
    serial_no,
    manufacturer,
    asset_value,
    purchased_from,
    purchase_order,
    first_reserved_line, // 20 to 50 belong to other tools and are never touched
};

inline constexpr int product_line_count = 50;

inline constexpr std::string_view mode_internal = "INTERNAL";
inline constexpr std::string_view mode_external = "EXTERNAL";
inline constexpr std::string_view mode_ref_only = "REF ONLY";
inline constexpr std::string_view state_available = "AVAILABLE";
inline constexpr std::string_view state_obsolete = "OBSOLETE";

// One instrument: the 50 lines exactly as read, without their line ends.
struct product_record {
    std::array<std::string, product_line_count> lines;

    std::string &operator[](int line) { return lines[static_cast<std::size_t>(line - 1)]; }
    const std::string &operator[](int line) const
    {
        return lines[static_cast<std::size_t>(line - 1)];
    }
    auto begin() const { return lines.begin(); }
    auto end() const { return lines.end(); }
};

} // namespace durnmoor
