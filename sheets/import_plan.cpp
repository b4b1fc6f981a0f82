#include "sheets/import_plan.h"

#include "audit/audit_entry.h"
#include "audit/record_changes.h"
#include "calibration/date_forms.h"
#include "text/screen_text.h"

#include <algorithm>
#include <unordered_map>

namespace durnmoor {

namespace {

QString folded_name(std::string_view bytes)
{
    QString name = screen_text(bytes);
    name.removeIf([](QChar c) { return c.isSpace(); });
    return name.toCaseFolded();
}

QString quoted_field(int line)
{
    return QLatin1Char('"') + QString::fromLatin1(product_field_names[line - 1]) + QLatin1Char('"');
}

bool blank(std::string_view field)
{
    return without_outer_blanks(field).empty();
}

// A date given by three fields is a date, or is not given at all.
bool date_or_none(const ImportedRow &row, int day)
{
    const auto &f = row.fields;
    const auto at = [&](int line) { return std::string_view(f[line - 1]); };
    if (blank(at(day)) && blank(at(day + 1)) && blank(at(day + 2)))
        return true;
    const QString d = screen_text(at(day)).trimmed();
    const QString m = screen_text(at(day + 1)).trimmed();
    const QString y = screen_text(at(day + 2)).trimmed();
    return parse_split_date(d, m, y).has_value();
}

bool interval_in_range(std::string_view field)
{
    const std::string text = without_outer_blanks(field);
    if (text.empty())
        return true;
    bool number = false;
    const double months = QString::fromStdString(text).toDouble(&number);
    return number && months >= 0 && months <= 999;
}

// Why the row cannot be stored, or an empty text.
QString refusal(const ImportedRow &row, bool unstorable)
{
    if (unstorable)
        return QString::fromLatin1(refused_unstorable);
    if (blank(row.fields[instrument_no - 1]))
        return QString::fromLatin1(refused_no_number);
    for (int line = instrument_no; line <= import_field_count; ++line)
        if (holds_line_break(row.fields[line - 1]))
            return QString::fromLatin1(refused_line_break).arg(quoted_field(line));
    if (!date_or_none(row, purchase_day))
        return QString::fromLatin1(refused_date).arg(QLatin1String(purchase_date_name));
    if (!date_or_none(row, lastcal_day))
        return QString::fromLatin1(refused_date).arg(QLatin1String(last_calibrated_name));
    if (!interval_in_range(row.fields[interval_months - 1]))
        return QString::fromLatin1(refused_interval);
    return {};
}

std::vector<int> mapped_lines(const ColumnMap &columns)
{
    std::vector<int> lines;
    for (const int line : columns)
        if (line > 0 && std::find(lines.begin(), lines.end(), line) == lines.end())
            lines.push_back(line);
    return lines;
}

} // namespace

ColumnMap match_columns(const std::vector<std::string> &header)
{
    std::vector<QString> names;
    for (const char *name : product_field_names)
        names.push_back(folded_name(name));
    ColumnMap columns(header.size(), 0);
    std::vector<bool> taken(names.size(), false);
    for (std::size_t c = 0; c < header.size(); ++c) {
        const auto found = std::find(names.begin(), names.end(), folded_name(header[c]));
        const auto field = static_cast<std::size_t>(found - names.begin());
        if (found != names.end() && !taken[field]) {
            taken[field] = true;
            columns[c] = static_cast<int>(field) + 1;
        }
    }
    return columns;
}

ImportPlan plan_import(const CsvTable &table, const ColumnMap &columns,
                       const ProductsData &existing)
{
    ImportPlan plan;
    std::unordered_map<std::string, std::size_t> by_number;
    for (const CsvRow &row : table.rows) {
        ImportedRow imported{row.number, {}};
        const std::size_t width = std::min(row.fields.size(), columns.size());
        std::array<bool, import_field_count> filled{};
        for (std::size_t c = 0; c < width; ++c) {
            const int line = columns[c];
            if (line > 0 && !filled[line - 1]) {
                filled[line - 1] = true;
                imported.fields[line - 1] = row.fields[c];
            }
        }
        const QString reason = refusal(imported, row.unstorable);
        if (!reason.isEmpty()) {
            plan.refused.push_back({row.number, reason});
            continue;
        }
        const auto [at, added] =
            by_number.try_emplace(imported.fields[instrument_no - 1], plan.rows.size());
        if (added)
            plan.rows.push_back(std::move(imported));
        else
            plan.rows[at->second] = std::move(imported);
    }
    std::unordered_map<std::string_view, std::size_t> records_per_number;
    for (std::size_t i = 0; i < existing.size(); ++i)
        ++records_per_number[existing.line(i, instrument_no)];
    for (const ImportedRow &row : plan.rows) {
        const auto found = records_per_number.find(row.fields[instrument_no - 1]);
        if (found == records_per_number.end())
            ++plan.added;
        else
            plan.replaced += found->second;
    }
    return plan;
}

ImportRewrite import_rewrite(const ProductsData &existing, const ImportPlan &plan,
                             const ColumnMap &columns)
{
    ImportRewrite out{ProductsRewrite(existing), {}};
    const std::vector<int> lines = mapped_lines(columns);
    std::unordered_map<std::string_view, std::size_t> by_number;
    for (std::size_t r = 0; r < plan.rows.size(); ++r)
        by_number.emplace(plan.rows[r].fields[instrument_no - 1], r);
    std::vector<bool> stored(plan.rows.size(), false);
    const auto key = [](std::string_view number) {
        return std::vector<std::string>{screen_text(number).toStdString()};
    };

    for (std::size_t i = 0; i < existing.size(); ++i) {
        const auto found = by_number.find(existing.line(i, instrument_no));
        if (found == by_number.end()) {
            out.rewrite.copy(i);
            continue;
        }
        const ImportedRow &row = plan.rows[found->second];
        const product_record before = existing.record(i);
        product_record after = before;
        for (const int line : lines)
            after[line] = row.fields[line - 1];
        out.rewrite.write(after.lines);
        out.notes.push_back({audit_action::instrument_change, key(after[instrument_no]),
                             changed_fields(product_trail_fields, before.lines, after.lines)});
        stored[found->second] = true;
    }
    for (std::size_t r = 0; r < plan.rows.size(); ++r) {
        if (stored[r])
            continue;
        product_record added;
        std::copy(plan.rows[r].fields.begin(), plan.rows[r].fields.end(), added.lines.begin());
        out.rewrite.write(added.lines);
        out.notes.push_back({audit_action::instrument_add, key(added[instrument_no]),
                             added_fields(product_trail_fields, added.lines)});
    }
    return out;
}

} // namespace durnmoor
