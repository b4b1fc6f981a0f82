#include "report/report_layout.h"

#include "calibration/date_forms.h"
#include "calibration/due_dates.h"
#include "text/screen_text.h"

#include <string_view>
#include <unordered_map>

namespace durnmoor {

namespace {

enum Column : int {
    key_column = 5,
    description_column = 45,
    location_column = 80,
    company_column = 115,
    mode_column = 145,
    availability_column = 160,
    due_date_column = 180,
    certificates_column = 202,
};

constexpr std::pair<Column, const char *> column_titles[] = {
    {key_column, "Instrument"},         {description_column, "Description"},
    {location_column, "Location"},      {company_column, "Calibrated by"},
    {mode_column, "Int/Ex/Ref"},        {availability_column, "Avail/Obsl"},
    {due_date_column, "Next Due Date"},
};
constexpr char certificates_title[] = "Certificates";

// The longest text each column prints; the file keeps the whole text.
constexpr qsizetype key_length = 28;
constexpr qsizetype description_length = 24;
constexpr qsizetype location_length = 28;
constexpr qsizetype company_length = 20;

constexpr char printed_label[] = "Printed: ";
constexpr char page_label[] = "Page ";
constexpr char total_pages_label[] = "Total Pages: ";

QString cut(QString text, qsizetype length)
{
    if (text.size() > length) {
        text.truncate(length);
        if (text.back().isHighSurrogate()) // never half a character
            text.chop(1);
    }
    return text;
}

// The columns a box of the print dialog may leave out, left to right: the record line each
// prints and the longest text it prints of it (0 for no limit).
struct TextColumn {
    bool ReportColumns::*shown;
    Column column;
    int line;
    qsizetype length;
};
constexpr TextColumn text_columns[] = {
    {&ReportColumns::description, description_column, description, description_length},
    {&ReportColumns::location, location_column, location, location_length},
    {&ReportColumns::company, company_column, cal_company, company_length},
    {&ReportColumns::mode, mode_column, cal_mode, 0},
    {&ReportColumns::availability, availability_column, availability, 0},
};

ReportLine item_line(const ProductsData &data, std::size_t i, int key_line,
                     const ReportColumns &columns, const CertificateCount &certificates)
{
    const auto text = [&](int line) { return screen_text(data.line(i, line)); };
    ReportLine out;
    out.cells.push_back(
        {key_column,
         cut(text(key_line), key_line == description ? description_length : key_length)});
    for (const TextColumn &printed : text_columns)
        if (columns.*printed.shown)
            out.cells.push_back({printed.column, printed.length > 0
                                                     ? cut(text(printed.line), printed.length)
                                                     : text(printed.line)});
    if (columns.due_date) {
        // A record whose dates give no due date leaves the cell empty rather than guess.
        const auto due = record_due_date(data, i);
        out.cells.push_back({due_date_column, due ? report_display(*due) : QString()});
    }
    if (certificates)
        out.cells.push_back({certificates_column, QString::number(certificates(
                                                      std::string(data.line(i, instrument_no))))});
    return out;
}

class PageBuilder {
public:
    PageBuilder(ReportLayout &layout, QDate printed_on, bool certificates)
        : layout_(layout), printed_(QLatin1String(printed_label) + report_header(printed_on))
    {
        for (const auto &[column, title] : column_titles)
            titles_.cells.push_back({column, QString::fromLatin1(title)});
        if (certificates)
            titles_.cells.push_back({certificates_column, QString::fromLatin1(certificates_title)});
        titles_.underline = true;
    }

    void header()
    {
        const int number = static_cast<int>(layout_.pages.size()) + 1;
        const auto line = [](std::vector<ReportCell> cells) {
            return ReportLine{header_point_size, false, std::move(cells)};
        };
        layout_.pages.push_back(
            {{line({{key_column, QString::fromLatin1(report_title)}}),
              line({{location_column, printed_}}),
              line({{key_column, QLatin1String(page_label) + QString::number(number)},
                    {location_column,
                     QLatin1String(total_pages_label) + QString::number(layout_.total_pages)}}),
              line({}), line({}), titles_},
             0});
    }

    // The page is full once it holds its lines: the next page begins at once, even when
    // no item follows.
    void item(ReportLine line)
    {
        ReportPage &page = layout_.pages.back();
        page.lines.push_back(std::move(line));
        if (++page.item_count == report_lines_per_page)
            header();
    }

private:
    ReportLayout &layout_;
    QString printed_;
    ReportLine titles_;
};

} // namespace

ReportLayout report_layout(const ProductsData &data, const std::vector<ListEntry> &entries,
                           int key_line, const ReportColumns &columns, QDate printed_on,
                           const CertificateCount &certificates)
{
    // The register is read once; each entry finds its records by key, in file order.
    std::unordered_map<std::string_view, std::vector<std::size_t>> records_by_key;
    records_by_key.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        records_by_key[data.line(i, key_line)].push_back(i);

    ReportLayout layout;
    layout.total_pages = static_cast<int>(entries.size() / report_lines_per_page) + 1;
    PageBuilder pages(layout, printed_on, bool(certificates));
    pages.header();
    for (const ListEntry &entry : entries) {
        const auto found = records_by_key.find(entry.key);
        if (found == records_by_key.end())
            continue;
        for (const std::size_t i : found->second)
            pages.item(item_line(data, i, key_line, columns, certificates));
    }
    return layout;
}

} // namespace durnmoor
