#include "sheets/export_sheets.h"

#include "calibration/due_dates.h"
#include "text/screen_text.h"

#include <deque>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace durnmoor {

namespace {

std::string shown(std::string_view bytes)
{
    return screen_text(bytes).toStdString();
}

SheetCell text_cell(std::string text)
{
    return {.text = std::move(text)};
}

SheetCell date_cell(QDate date)
{
    return {.kind = SheetCell::Kind::date,
            .text = date.toString(QLatin1String(export_date_form)).toStdString(),
            .date = date};
}

SheetCell money_cell(Money money)
{
    return {.kind = SheetCell::Kind::number,
            .text = money.format(),
            .number = static_cast<double>(money.units()) / Money::units_per_whole};
}

// A calibration's date as the file keeps it: a date when it reads as one, else its text.
SheetCell history_date_cell(std::string_view bytes)
{
    const QString text = screen_text(bytes);
    const QDate date = QDate::fromString(text.trimmed(), QLatin1String(export_date_form));
    if (date.isValid())
        return {.kind = SheetCell::Kind::date, .text = text.toStdString(), .date = date};
    return text_cell(text.toStdString());
}

// A calibration's cost: a number when the whole text is one, else its text.
SheetCell history_cost_cell(std::string_view bytes)
{
    const QString text = screen_text(bytes);
    bool number = false;
    const double value = text.trimmed().toDouble(&number);
    if (number)
        return {.kind = SheetCell::Kind::number, .text = text.toStdString(), .number = value};
    return text_cell(text.toStdString());
}

std::string joined_result(const HistoryRecord &record)
{
    std::string text;
    for (const std::string &line : record.result_lines) {
        if (&line != &record.result_lines.front())
            text += '\n';
        text += shown(line);
    }
    return text;
}

} // namespace

ListedSheets listed_sheets(const ProductsData &products, const std::vector<ListEntry> &entries,
                           int key_line, const HistoryData &history, QDate today,
                           const CertificateCounter &certificates)
{
    std::unordered_map<std::string_view, std::deque<std::size_t>> records_by_key;
    records_by_key.reserve(products.size());
    for (std::size_t i = 0; i < products.size(); ++i)
        records_by_key[products.line(i, key_line)].push_back(i);

    ListedSheets sheets;
    Sheet &instruments = sheets.instruments;
    instruments.name = "Instruments";
    instruments.header.assign(std::begin(product_field_names), std::end(product_field_names));
    instruments.header.insert(instruments.header.end(),
                              {export_due_column, export_overdue_column, export_count_column,
                               export_total_column, export_certificates_column});
    Sheet &calibrations = sheets.history;
    calibrations.name = "Calibrations";
    calibrations.header = {history_number_field, history_date_field, history_cost_field,
                           export_result_column};

    // Calibrations belong to a number: records that share one list them once.
    std::unordered_set<std::string_view> numbers_done;
    for (const ListEntry &entry : entries) {
        const auto found = records_by_key.find(entry.key);
        if (found == records_by_key.end() || found->second.empty())
            continue;
        const std::size_t i = found->second.front();
        found->second.pop_front();
        const product_record record = products.record(i);

        std::vector<SheetCell> row;
        row.reserve(instruments.header.size());
        for (int line = instrument_no; line < first_reserved_line; ++line)
            row.push_back(text_cell(shown(record[line])));
        const std::optional<QDate> due = record_due_date(products, i);
        row.push_back(due ? date_cell(*due) : SheetCell{});
        row.push_back(text_cell(due && *due < today ? export_yes : export_no));
        const HistoryFigures figures = history.figures_of(record[instrument_no]);
        row.push_back({.kind = SheetCell::Kind::number,
                       .text = std::to_string(figures.count),
                       .number = static_cast<double>(figures.count)});
        row.push_back(money_cell(figures.total));
        const int attached = certificates ? certificates(record[instrument_no]) : 0;
        row.push_back({.kind = SheetCell::Kind::number,
                       .text = std::to_string(attached),
                       .number = static_cast<double>(attached)});
        instruments.rows.push_back(std::move(row));

        if (!numbers_done.insert(products.line(i, instrument_no)).second)
            continue;
        for (const std::size_t c : history.history_of(record[instrument_no])) {
            const HistoryRecord calibration = history.record(c);
            calibrations.rows.push_back(
                {text_cell(shown(calibration.instrument_no)), history_date_cell(calibration.date),
                 history_cost_cell(calibration.cost), text_cell(joined_result(calibration))});
        }
    }
    return sheets;
}

} // namespace durnmoor
