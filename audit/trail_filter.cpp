#include "audit/trail_filter.h"

#include <algorithm>
#include <string_view>

namespace durnmoor {

namespace {

char fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether part stands in text, ASCII letters in any case. The other bytes of UTF-8 are
// compared as they are: a case of their own would need the whole Unicode case table.
bool contains_folded(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return fold(a) == fold(b); }) != text.end();
}

} // namespace

bool names_instrument(const AuditEntry &entry)
{
    const std::string_view action = entry.action;
    return !entry.key.empty() &&
           (action.starts_with("instrument.") || action.starts_with("calibration."));
}

bool TrailFilter::matches(const AuditEntry &entry) const
{
    if (!action.empty() && entry.action != action)
        return false;
    // The times of one trail all have the same form, so their order is their bytes' order.
    if (!from.empty() && entry.time < from)
        return false;
    if (!until.empty() && !(entry.time < until))
        return false;
    if (!user.empty() && !contains_folded(entry.user, user))
        return false;
    if (!number.empty() && !(names_instrument(entry) && contains_folded(entry.key[0], number)))
        return false;
    return true;
}

} // namespace durnmoor
