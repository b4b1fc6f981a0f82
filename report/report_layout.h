#pragma once

#include "register/list_entries.h"
#include "register/products_file.h"

#include <QDate>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace durnmoor {

// The listed-items report as a plain value: what goes where on which page, before any font
// or printer is involved. Positions are character columns, column 1 being the left edge.

inline constexpr char report_title[] = "Durnmoor V1.00";
inline constexpr int report_lines_per_page = 53;
inline constexpr int header_point_size = 12;
inline constexpr int item_point_size = 8;

// The columns, by the boxes of the print dialog; the first column is always printed.
struct ReportColumns {
    bool description = true;  // Check2
    bool location = true;     // Check3
    bool company = true;      // Check4
    bool mode = true;         // Check5
    bool availability = true; // Check6
    bool due_date = true;     // Check7
};

struct ReportCell {
    int column = 1;
    QString text;

    friend bool operator==(const ReportCell &, const ReportCell &) = default;
};

struct ReportLine {
    int point_size = item_point_size;
    bool underline = false;
    std::vector<ReportCell> cells; // left to right; none for an empty line

    friend bool operator==(const ReportLine &, const ReportLine &) = default;
};

// One printed page: its header lines, then its item lines.
struct ReportPage {
    std::vector<ReportLine> lines;
    int item_count = 0;
};

struct ReportLayout {
    int total_pages = 1; // as the header says; counted from the list's entries
    std::vector<ReportPage> pages;
};

// Lays out the records behind the list's entries, from top to bottom: each entry prints
// every record whose key line (1 for numbers, 2 for descriptions) holds exactly its key
// bytes, so an entry without a record prints nothing and entries alike print alike.
// certificates counts an instrument's certificates by its number as stored; without one the
// "Certificates" column is left out.
using CertificateCount = std::function<int(const std::string &number)>;
ReportLayout report_layout(const ProductsData &data, const std::vector<ListEntry> &entries,
                           int key_line, const ReportColumns &columns, QDate printed_on,
                           const CertificateCount &certificates = {});

} // namespace durnmoor
