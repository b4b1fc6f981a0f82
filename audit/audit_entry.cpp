#include "audit/audit_entry.h"

#include "audit/json_text.h"

#include <charconv>
#include <cstdio>

namespace durnmoor {

namespace {

void put_number(std::string &out, std::int64_t value)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(end - digits));
}

void put_key(std::string &out, const char *name)
{
    out += '"';
    out += name;
    out += "\":";
}

// The keys of an entry, each a bit of what a line has already given.
enum Member : unsigned {
    seq_member = 1,
    time_member = 2,
    user_member = 4,
    action_member = 8,
    file_member = 16,
    key_member = 32,
    changes_member = 64,
    after_member = 128,
    entry_member = 256,
    prev_member = 512,
    required_members = seq_member | time_member | user_member | action_member | prev_member,
};

Member member_named(std::string_view name)
{
    // By the first letter, then the whole name: this runs for every key of every line.
    Member member = Member(0);
    std::string_view known;
    switch (name.empty() ? '\0' : name.front()) {
    case 's':
        member = seq_member, known = "seq";
        break;
    case 't':
        member = time_member, known = "time";
        break;
    case 'u':
        member = user_member, known = "user";
        break;
    case 'a':
        member = name.size() == 6 ? action_member : after_member;
        known = name.size() == 6 ? "action" : "after";
        break;
    case 'f':
        member = file_member, known = "file";
        break;
    case 'k':
        member = key_member, known = "key";
        break;
    case 'c':
        member = changes_member, known = "changes";
        break;
    case 'e':
        member = entry_member, known = "entry";
        break;
    case 'p':
        member = prev_member, known = "prev";
        break;
    }
    return name == known ? member : Member(0);
}

bool read_key(JsonReader &json, std::vector<std::string> &key)
{
    key.clear();
    if (!json.take('[')) {
        key.emplace_back();
        return json.text(key.back());
    }
    if (json.take(']'))
        return true;
    do {
        key.emplace_back();
        if (!json.text(key.back()))
            return false;
    } while (json.take(','));
    return json.take(']');
}

bool read_change(JsonReader &json, FieldChange &change)
{
    if (!json.take('{'))
        return false;
    bool field = false;
    std::string_view name;
    change.old_value.reset();
    change.new_value.reset();
    if (json.take('}'))
        return false;
    do {
        if (!json.name(name) || !json.take(':'))
            return false;
        std::optional<std::string> *side = name == "old"   ? &change.old_value
                                           : name == "new" ? &change.new_value
                                                           : nullptr;
        if (name == "field") {
            if (field || !json.text(change.field))
                return false;
            field = true;
        } else if (side) {
            if (*side || !json.text(side->emplace()))
                return false;
        } else if (!json.skip_value()) {
            return false;
        }
    } while (json.take(','));
    return json.take('}') && field;
}

bool read_changes(JsonReader &json, std::vector<FieldChange> &changes)
{
    changes.clear();
    if (!json.take('['))
        return false;
    if (json.take(']'))
        return true;
    do {
        if (!read_change(json, changes.emplace_back()))
            return false;
    } while (json.take(','));
    return json.take(']');
}

bool read_member(JsonReader &json, Member member, AuditEntry &into)
{
    switch (member) {
    case seq_member:
        return json.whole_number(into.seq);
    case time_member:
        return json.text(into.time);
    case user_member:
        return json.text(into.user);
    case action_member:
        return json.text(into.action);
    case file_member:
        return json.text(into.file);
    case key_member:
        return read_key(json, into.key);
    case changes_member:
        return read_changes(json, into.changes);
    case after_member:
        return json.text(into.after);
    case entry_member:
        return json.whole_number(into.entry);
    case prev_member:
        return json.text(into.prev);
    default:
        return json.skip_value();
    }
}

} // namespace

void append_audit_line(std::string &out, const AuditEntry &entry)
{
    out += "{\"seq\":";
    put_number(out, entry.seq);
    out += ',';
    put_key(out, "time");
    put_json_text(out, entry.time);
    out += ',';
    put_key(out, "user");
    put_json_text(out, entry.user);
    out += ',';
    put_key(out, "action");
    put_json_text(out, entry.action);
    if (!entry.file.empty()) {
        out += ',';
        put_key(out, "file");
        put_json_text(out, entry.file);
    }
    if (entry.key.size() == 1) {
        out += ',';
        put_key(out, "key");
        put_json_text(out, entry.key.front());
    } else if (!entry.key.empty()) {
        out += ',';
        put_key(out, "key");
        out += '[';
        for (std::size_t i = 0; i < entry.key.size(); ++i) {
            if (i > 0)
                out += ',';
            put_json_text(out, entry.key[i]);
        }
        out += ']';
    }
    if (!entry.changes.empty()) {
        out += ',';
        put_key(out, "changes");
        out += '[';
        for (std::size_t i = 0; i < entry.changes.size(); ++i) {
            const FieldChange &change = entry.changes[i];
            out += i > 0 ? ",{" : "{";
            put_key(out, "field");
            put_json_text(out, change.field);
            if (change.old_value) {
                out += ',';
                put_key(out, "old");
                put_json_text(out, *change.old_value);
            }
            if (change.new_value) {
                out += ',';
                put_key(out, "new");
                put_json_text(out, *change.new_value);
            }
            out += '}';
        }
        out += ']';
    }
    if (!entry.after.empty()) {
        out += ',';
        put_key(out, "after");
        put_json_text(out, entry.after);
    }
    if (entry.entry != 0) {
        out += ',';
        put_key(out, "entry");
        put_number(out, entry.entry);
    }
    out += ',';
    put_key(out, "prev");
    put_json_text(out, entry.prev);
    out += '}';
}

std::string audit_line(const AuditEntry &entry)
{
    std::string out;
    append_audit_line(out, entry);
    return out;
}

bool read_audit_line(std::string_view line, AuditEntry &into)
{
    into.file.clear();
    into.key.clear();
    into.changes.clear();
    into.after.clear();
    into.entry = 0;
    JsonReader json(line);
    if (!json.take('{') || json.take('}'))
        return false;
    unsigned seen = 0;
    std::string_view name;
    do {
        if (!json.name(name) || !json.take(':'))
            return false;
        const Member member = member_named(name);
        if (seen & member)
            return false;
        seen |= member;
        if (!read_member(json, member, into))
            return false;
    } while (json.take(','));
    return json.take('}') && json.at_end() && (seen & required_members) == required_members;
}

std::optional<AuditEntry> read_audit_line(std::string_view line)
{
    AuditEntry entry;
    if (!read_audit_line(line, entry))
        return std::nullopt;
    return entry;
}

std::string rfc3339_utc(const QDateTime &moment)
{
    if (!moment.isValid())
        return {};
    const QDateTime utc = moment.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    if (date.year() < 0 || date.year() > 9999)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", date.year(),
                  date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec());
    return text;
}

} // namespace durnmoor
