#pragma once

#include <QDateTime>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

inline constexpr char audit_log_name[] = "audit.log";

// What an entry records. The reader takes any action, so that a trail written by a later
// version (which may record more) still reads.
namespace audit_action {
inline constexpr char instrument_add[] = "instrument.add";
inline constexpr char instrument_change[] = "instrument.change";
inline constexpr char instrument_delete[] = "instrument.delete";
inline constexpr char calibration_add[] = "calibration.add";
inline constexpr char calibration_change[] = "calibration.change";
inline constexpr char calibration_remove[] = "calibration.remove";
inline constexpr char certificate_attach[] = "certificate.attach";
inline constexpr char certificate_remove[] = "certificate.remove";
inline constexpr char contact_add[] = "contact.add";
inline constexpr char contact_change[] = "contact.change";
inline constexpr char contact_remove[] = "contact.remove";
inline constexpr char account_add[] = "account.add";
inline constexpr char account_change[] = "account.change";
inline constexpr char account_remove[] = "account.remove";
inline constexpr char options_change[] = "options.change";
inline constexpr char login_ok[] = "login.ok";
inline constexpr char login_fail[] = "login.fail";
inline constexpr char file_outside_change[] = "file.outside_change";
inline constexpr char backup_restore[] = "backup.restore";
inline constexpr char import[] = "import";
// The rewrite of the entry named by AuditEntry::entry did not take place.
inline constexpr char failed[] = "failed";
} // namespace audit_action

// Who made a change when no account is logged in: the system's login name after this.
inline constexpr char os_user_prefix[] = "os:";

// The prev of the first line, which follows no line.
inline constexpr std::string_view no_prev_line =
    "0000000000000000000000000000000000000000000000000000000000000000";

// One field of a record as a change left it, in UTF-8. A side the edit has no value for
// (the old side of an add, the new side of a delete) is nullopt and its key is left out
// of the line; a change writes both sides, an empty value as "".
struct FieldChange {
    std::string field;
    std::optional<std::string> old_value;
    std::optional<std::string> new_value;

    friend bool operator==(const FieldChange &, const FieldChange &) = default;
};

// One line of the audit trail. All text is UTF-8. An empty file, key, changes or after, and
// an entry of 0, are left out of the line.
struct AuditEntry {
    std::int64_t seq = 0; // filled by the trail when appended
    std::string time;     // RFC 3339 in UTC with milliseconds; the trail fills it when empty
    std::string user;     // the account's name, or os_user_prefix and the login name
    std::string action;   // one of audit_action
    std::string file;     // the data file changed: "products.dat"
    // The record: one part (instrument number, company name, user name) is written as a
    // string, two (a calibration: instrument number and file date) as an array.
    std::vector<std::string> key;
    std::vector<FieldChange> changes;
    std::string after;      // SHA-256 hex of the data file as this change wrote it
    std::int64_t entry = 0; // for a failed entry: the seq of the entry whose rewrite failed
    std::string prev;       // SHA-256 hex of the line before, no_prev_line for the first

    friend bool operator==(const AuditEntry &, const AuditEntry &) = default;
};

// The entry's line without its LF, keys in the order of AuditEntry's members. The same
// entry always gives the same bytes: quotes, backslashes and control characters escaped,
// everything else as UTF-8 (a byte that is not UTF-8 becomes U+FFFD).
std::string audit_line(const AuditEntry &entry);
void append_audit_line(std::string &out, const AuditEntry &entry);

// The entry a line holds, or nullopt for a line that is not one: not a JSON object, a
// required key (seq, time, user, action, prev) missing or of the wrong type, a seq or entry
// that is not a whole number from 1, a key given twice, text that is not UTF-8. Keys may
// come in any order, with blanks between; keys this version does not know are passed over.
std::optional<AuditEntry> read_audit_line(std::string_view line);
// The same into an entry whose storage is reused, for reading many lines; false for a line
// that is not an entry (into is then unspecified).
bool read_audit_line(std::string_view line, AuditEntry &into);

// What one change did to one record, for the audit trail: the trail adds who, when, the
// file and the file's hash as written.
struct AuditNote {
    std::string action;
    std::vector<std::string> key; // UTF-8, as the screen shows it
    std::vector<FieldChange> changes;
};

// "2026-12-06T20:41:07.123Z"; empty for an invalid moment.
std::string rfc3339_utc(const QDateTime &moment);

} // namespace durnmoor
