#pragma once

#include "audit/audit_entry.h"

#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

// What the viewer and the export show in place of the action of a line that is not an entry
// (one changed by hand, or a torn last line).
inline constexpr char not_an_entry[] = "(not an entry)";

// A record's key as one text: "1234 / 2026-12-06" for a calibration.
std::string key_text(const std::vector<std::string> &key);
// The changes as one text, one "field: old → new" a line; a side the change has no value
// for (the old side of an add, the new side of a delete) is left out with its arrow.
std::string changes_text(const std::vector<FieldChange> &changes);

// The first row of an exported trail, after the byte-order mark, and the row of one entry;
// the time as the trail keeps it, in UTC. A line that is not an entry is exported as it
// stands, under not_an_entry.
std::string trail_csv_header();
void append_trail_csv_row(std::string &out, const AuditEntry &entry);
void append_unread_csv_row(std::string &out, std::string_view line);

} // namespace durnmoor
