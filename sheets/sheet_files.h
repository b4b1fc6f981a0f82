#pragma once

#include "sheets/export_sheets.h"

#include <QString>
#include <QStringList>

#include <string>

namespace durnmoor {

// The text of a sheet as a CSV file: UTF-8 after a byte-order mark, so that spreadsheets read
// it as UTF-8; the header row, then a row per row, each as RFC 4180 writes it.
std::string sheet_csv(const Sheet &sheet);

// The second file a CSV export writes, beside the first: "items.csv" -> "items-history.csv".
QString history_csv_path(const QString &path);

// What an export wrote, and the file it could not write and why (empty when every file was).
struct ExportOutcome {
    QStringList written;
    QString failed_file;
    QString reason;
    bool ok() const { return failed_file.isEmpty(); }
};

// Both sheets as CSV files, the instruments at path, the calibrations beside it. Each file is
// written whole under a temporary name and then takes its own: a failure leaves no half file.
ExportOutcome write_csv_files(const ListedSheets &sheets, const QString &path);

// Both sheets in one workbook: dates as dates, costs and counts as numbers, the header row
// bold and frozen, each column as wide as its contents.
ExportOutcome write_workbook(const ListedSheets &sheets, const QString &path);

} // namespace durnmoor
