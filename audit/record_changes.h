#pragma once

#include "audit/audit_entry.h"
#include "store/record_file.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

// What the trail calls each line of a record, first line first. The trail keeps its own
// names, in English and fixed, whatever the windows call the fields.
using TrailFieldNames = std::span<const char *const>;

// products.dat, lines 1 to 19; the lines after them (20 to 50, kept for other tools) are
// named by their number: "reserved_20".
inline constexpr const char *product_trail_fields[] = {
    "instrument_no", "description",  "location",        "cal_company",   "cal_cost",
    "cal_mode",      "availability", "interval_months", "purchase_day",  "purchase_month",
    "purchase_year", "lastcal_day",  "lastcal_month",   "lastcal_year",  "serial_no",
    "manufacturer",  "asset_value",  "purchased_from",  "purchase_order"};
// A calibration in history.dat: its result's lines are one field, joined by LF.
inline constexpr const char *history_trail_fields[] = {"instrument_no", "date", "cost", "result"};
inline constexpr const char *contact_trail_fields[] = {
    "company_name", "contact_name", "address_1",   "address_2", "address_3", "address_4",
    "address_5",    "address_6",    "postal_code", "telephone", "fax",       "email"};
inline constexpr const char *account_trail_fields[] = {"name", "password", "maintenance_right",
                                                       "read_right", "edit_right"};

// A field whose value the trail never shows: it says "(set)" and "(changed)" instead.
inline constexpr char password_field[] = "password";
inline constexpr char password_set[] = "(set)";
inline constexpr char password_changed[] = "(changed)";

// The names for a data file's records ("products.dat"), or none for another file.
TrailFieldNames trail_fields_of(std::string_view file_name);
// Line n's name (from 1): from the names, or "reserved_<n>" past them.
std::string trail_field_name(TrailFieldNames names, std::size_t n);

// The changes of an edit of one record, given its lines' bytes as the data file holds them
// (in the system's 8-bit encoding; the trail gets them in UTF-8, as the screen shows them).
// A new record lists each line that is not empty, with its new side only; a deleted one each
// line that was not empty, with its old side only; a changed one each line whose bytes
// differ, with both sides (an empty line as ""; a line missing from one side is empty).
// Every line of record i of a record file, as bytes.
std::vector<std::string> lines_of_record(const RecordFile &data, std::size_t i);

std::vector<FieldChange> added_fields(TrailFieldNames names, std::span<const std::string> lines);
std::vector<FieldChange> removed_fields(TrailFieldNames names, std::span<const std::string> lines);
std::vector<FieldChange> changed_fields(TrailFieldNames names,
                                        std::span<const std::string> old_lines,
                                        std::span<const std::string> new_lines);

} // namespace durnmoor
