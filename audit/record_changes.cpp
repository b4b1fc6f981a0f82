#include "audit/record_changes.h"

#include "text/screen_text.h"

#include <algorithm>

namespace durnmoor {

std::vector<std::string> lines_of_record(const RecordFile &data, std::size_t i)
{
    std::vector<std::string> lines;
    for (int n = 1; n <= data.record_lines(); ++n)
        lines.emplace_back(data.line(i, n));
    return lines;
}

namespace {

std::string trail_text(std::string_view line)
{
    return screen_text(line).toStdString();
}

bool is_password(std::string_view name)
{
    return name == password_field;
}

// One side of each line that is not empty: the new side of an add, the old of a delete.
std::vector<FieldChange> one_side(TrailFieldNames names, std::span<const std::string> lines,
                                  std::optional<std::string> FieldChange::*side)
{
    std::vector<FieldChange> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        FieldChange change{trail_field_name(names, i + 1), {}, {}};
        change.*side = is_password(change.field) ? password_set : trail_text(lines[i]);
        out.push_back(std::move(change));
    }
    return out;
}

} // namespace

TrailFieldNames trail_fields_of(std::string_view file_name)
{
    if (file_name == "products.dat")
        return product_trail_fields;
    if (file_name == "history.dat")
        return history_trail_fields;
    if (file_name == "contacts.dat")
        return contact_trail_fields;
    if (file_name == "security.dat")
        return account_trail_fields;
    return {};
}

std::string trail_field_name(TrailFieldNames names, std::size_t n)
{
    return n >= 1 && n <= names.size() ? std::string(names[n - 1])
                                       : "reserved_" + std::to_string(n);
}

std::vector<FieldChange> added_fields(TrailFieldNames names, std::span<const std::string> lines)
{
    return one_side(names, lines, &FieldChange::new_value);
}

std::vector<FieldChange> removed_fields(TrailFieldNames names, std::span<const std::string> lines)
{
    return one_side(names, lines, &FieldChange::old_value);
}

std::vector<FieldChange> changed_fields(TrailFieldNames names,
                                        std::span<const std::string> old_lines,
                                        std::span<const std::string> new_lines)
{
    std::vector<FieldChange> out;
    static const std::string none;
    const std::size_t count = std::max(old_lines.size(), new_lines.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string &before = i < old_lines.size() ? old_lines[i] : none;
        const std::string &after = i < new_lines.size() ? new_lines[i] : none;
        if (before == after)
            continue;
        FieldChange change{trail_field_name(names, i + 1), {}, {}};
        if (is_password(change.field)) {
            change.old_value = password_set;
            change.new_value = password_changed;
        } else {
            change.old_value = trail_text(before);
            change.new_value = trail_text(after);
        }
        out.push_back(std::move(change));
    }
    return out;
}

} // namespace durnmoor
