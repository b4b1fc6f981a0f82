#include "audit/trail_csv.h"

#include "text/csv_row.h"

namespace durnmoor {

namespace {

constexpr std::string_view arrow = " \u2192 ";

std::string number_text(std::int64_t n)
{
    return n ? std::to_string(n) : std::string();
}

} // namespace

std::string key_text(const std::vector<std::string> &key)
{
    std::string out;
    for (const std::string &part : key) {
        if (!out.empty())
            out += " / ";
        out += part;
    }
    return out;
}

std::string changes_text(const std::vector<FieldChange> &changes)
{
    std::string out;
    for (const FieldChange &change : changes) {
        if (!out.empty())
            out += '\n';
        out += change.field;
        out += ": ";
        if (change.old_value) {
            out += *change.old_value;
            if (change.new_value)
                out += arrow;
        }
        if (change.new_value)
            out += *change.new_value;
    }
    return out;
}

std::string trail_csv_header()
{
    std::string out(utf8_byte_order_mark);
    append_csv_row(
        out, {"seq", "time", "user", "action", "file", "record", "changes", "after", "entry"});
    return out;
}

void append_trail_csv_row(std::string &out, const AuditEntry &entry)
{
    append_csv_row(out, {number_text(entry.seq), entry.time, entry.user, entry.action, entry.file,
                         key_text(entry.key), changes_text(entry.changes), entry.after,
                         number_text(entry.entry)});
}

void append_unread_csv_row(std::string &out, std::string_view line)
{
    append_csv_row(out, {"", "", "", not_an_entry, "", "", line, "", ""});
}

} // namespace durnmoor
