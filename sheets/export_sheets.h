#pragma once

#include "calibration/history_file.h"
#include "register/list_entries.h"
#include "register/products_file.h"

#include <QDate>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace durnmoor {

// What the instruments sheet calls the columns after the record's own fields.
inline constexpr char export_due_column[] = "Next Due Date";
inline constexpr char export_overdue_column[] = "Overdue";
inline constexpr char export_count_column[] = "Calibrations";
inline constexpr char export_total_column[] = "Total Cost of Calibrations";
inline constexpr char export_certificates_column[] = "Certificates";
inline constexpr char export_result_column[] = "Result";
inline constexpr char export_yes[] = "yes";
inline constexpr char export_no[] = "no";
// How a date is written where it is text: as the data files write theirs.
inline constexpr char export_date_form[] = "dd/MM/yyyy";

// One cell of an exported sheet. text is what a CSV file holds, in UTF-8, and what a workbook
// holds for a text cell; a date or a number is also kept as such, for a workbook to store it
// as a real date or number.
struct SheetCell {
    enum class Kind { text, date, number };
    Kind kind = Kind::text;
    std::string text;
    QDate date;
    double number = 0;

    friend bool operator==(const SheetCell &, const SheetCell &) = default;
};

struct Sheet {
    std::string name;
    std::vector<std::string> header;
    std::vector<std::vector<SheetCell>> rows;
};

// The listed instruments, one row each in list order, and their calibrations.
struct ListedSheets {
    Sheet instruments;
    Sheet history;
};

// The sheets of the instruments the list shows. Every field is the text the window shows
// (decoded in the system's 8-bit encoding, so a byte it cannot decode is exported as the
// window's replacement character, never left out). Each list entry stands for the next
// record in file order with its key's bytes, so duplicates each export their own record.
// certificates counts an instrument's certificates by its number's bytes; none when empty.
using CertificateCounter = std::function<int(const std::string &number)>;
ListedSheets listed_sheets(const ProductsData &products, const std::vector<ListEntry> &entries,
                           int key_line, const HistoryData &history, QDate today,
                           const CertificateCounter &certificates = {});

} // namespace durnmoor
