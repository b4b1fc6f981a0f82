#pragma once

#include "audit/audit_entry.h"

#include <string>

namespace durnmoor {

// Which entries of the trail are wanted. An empty part lets every entry through; the parts
// that are set must all hold.
struct TrailFilter {
    // Part of an instrument number, any case: the entries of that instrument and its
    // calibrations.
    std::string number;
    // Part of the user's name, any case.
    std::string user;
    // One action exactly.
    std::string action;
    // Moments as the trail writes them (RFC 3339 UTC with milliseconds): entries made at or
    // after from, and before until.
    std::string from;
    std::string until;

    bool empty() const
    {
        return number.empty() && user.empty() && action.empty() && from.empty() && until.empty();
    }
    bool matches(const AuditEntry &entry) const;

    friend bool operator==(const TrailFilter &, const TrailFilter &) = default;
};

// Whether the entry is about an instrument, whose number is then the first part of its key.
bool names_instrument(const AuditEntry &entry);

} // namespace durnmoor
