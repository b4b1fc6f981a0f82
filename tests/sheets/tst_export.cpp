// The listed instruments exported: the sheets' cells, the CSV files' bytes, the workbook's
// cells as a reader finds them, and the menu item that writes them.
#include "common/save_file_chooser.h"
#include "sheets/export_sheets.h"
#include "sheets/listed_export.h"
#include "sheets/sheet_files.h"
#include "support/window_fixture.h"

#include <QXmlStreamReader>

#include <numeric>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Four instruments: one overdue, two sharing a number, one without a due date and with a
// byte the system encoding (UTF-8 under the tests) cannot decode.
std::vector<product_record> sample_records()
{
    return {with(make_record({.number = "N-2", .description = "Probe, \"long\"", .cost = "10"}),
                 {{3, " Lab 1 "}}),
            make_record({.number = "N-1",
                         .description = "Meter",
                         .interval = "1",
                         .day = "1",
                         .month = "January"}),
            make_record({.number = "N-1", .description = "Meter twin", .interval = "x"}),
            with(make_record({.number = "N-3", .description = "Gauge", .year = ""}),
                 {{16, "Caf\xE9"}, {19, "Zoë"}})};
}

std::string sample_history()
{
    return crlf_lines({"N-2", "01/02/2026", "12.50", "#1RESULT", "ok", "line two", "#2RESULT",
                       "N-1", "3/3/26",     "n/a",   "#1RESULT", "r",  "#2RESULT", //
                       "N-9", "01/01/2026", "5",     "#1RESULT", "",   "#2RESULT", //
                       "N-2", "02/02/2026", "1.25",  "#1RESULT", "",   "#2RESULT"});
}

// The list as it shows the records by number: the twins, then N-2 and N-3.
std::vector<ListEntry> sample_list()
{
    return {{"N-1", "N-1", 1}, {"N-1", "N-1", 2}, {"N-2", "N-2", 0}, {"N-3", "N-3", 3}};
}

QString row_text(const std::vector<SheetCell> &row)
{
    QStringList cells;
    for (const SheetCell &cell : row) {
        QString text = QString::fromStdString(cell.text);
        if (cell.kind == SheetCell::Kind::date)
            text = "date:" + cell.date.toString(Qt::ISODate);
        else if (cell.kind == SheetCell::Kind::number)
            text = "number:" + QString::number(cell.number);
        cells << text;
    }
    return cells.join('|');
}

ListedSheets sample_sheets()
{
    const ProductsData products(file_of(sample_records()));
    const HistoryData history(sample_history());
    // Certificates are counted by the instrument's number.
    return listed_sheets(products, sample_list(), instrument_no, history, QDate(2026, 12, 5),
                         [](const std::string &number) { return number == "N-2" ? 2 : 0; });
}

// Column letters of a cell reference: 0 for A, 25 for Z, 26 for AA.
int column_of(const QString &reference)
{
    int column = 0;
    for (const QChar c : reference) {
        if (!c.isLetter())
            break;
        column = column * 26 + (c.unicode() - 'A' + 1);
    }
    return column - 1;
}

QByteArray unzipped(const QString &book, const QString &member)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", book, member});
    if (!unzip.waitForFinished())
        return {};
    return unzip.readAllStandardOutput();
}

// A sheet of a workbook as a reader finds it: each row its cells' values (a shared string's
// text, or the stored number) joined by "|", blank cells empty.
QStringList workbook_rows(const QString &book, int sheet)
{
    QStringList strings;
    QXmlStreamReader shared(unzipped(book, "xl/sharedStrings.xml"));
    while (shared.readNextStartElement() || !shared.atEnd()) {
        if (shared.isStartElement() && shared.name() == u"t")
            strings << shared.readElementText();
        else if (!shared.isStartElement())
            shared.readNext();
    }
    QStringList rows;
    QXmlStreamReader xml(unzipped(book, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
    QStringList cells;
    QString reference, type;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"row") {
            cells.clear();
        } else if (xml.isEndElement() && xml.name() == u"row") {
            rows << cells.join('|');
        } else if (xml.isStartElement() && xml.name() == u"c") {
            reference = xml.attributes().value("r").toString();
            type = xml.attributes().value("t").toString();
        } else if (xml.isStartElement() && xml.name() == u"v") {
            const QString value = xml.readElementText();
            while (cells.size() <= column_of(reference))
                cells << QString();
            cells[column_of(reference)] = type == "s" ? strings.value(value.toInt()) : value;
        }
    }
    return rows;
}

// What a workbook reader should find for a sheet: texts, numbers as stored, dates as days
// since 30 December 1899.
QStringList expected_rows(const Sheet &sheet)
{
    QStringList rows{QString::fromStdString(
        std::accumulate(std::next(sheet.header.begin()), sheet.header.end(), sheet.header.front(),
                        [](std::string a, const std::string &b) { return a + "|" + b; }))};
    for (const auto &row : sheet.rows) {
        QStringList cells;
        for (const SheetCell &cell : row)
            cells << (cell.kind == SheetCell::Kind::date
                          ? QString::number(QDate(1899, 12, 30).daysTo(cell.date))
                      : cell.kind == SheetCell::Kind::number ? QString::number(cell.number, 'g', 16)
                                                             : QString::fromStdString(cell.text));
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        rows << cells.join('|');
    }
    return rows;
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_save_file_chooser({}); }

    // Each listed instrument once, in list order (twins each their own record, unlisted ones
    // left out), every field as shown, the due date by the register's rule, and the
    // calibrations of each listed number once.
    void the_sheets_hold_the_listed_instruments()
    {
        const ListedSheets sheets = sample_sheets();
        QCOMPARE(sheets.instruments.header.size(), std::size_t(24));
        QCOMPARE(sheets.instruments.header.back(), "Certificates");
        QCOMPARE(sheets.instruments.header.front(), "Instrument No");
        QCOMPARE(sheets.instruments.header[18], "Purchase Order No");
        QStringList rows;
        for (const auto &row : sheets.instruments.rows)
            rows << row_text(row);
        QCOMPARE(rows,
                 (QStringList{
                     "N-1|Meter||||EXTERNAL|AVAILABLE|1|1|January|2020|1|January|2026|||||"
                     "|date:2026-02-01|yes|number:1|number:0|number:0",
                     "N-1|Meter twin||||EXTERNAL|AVAILABLE|x|1|January|2020|5|December|2026|||||"
                     "|date:2026-12-05|no|number:1|number:0|number:0",
                     "N-2|Probe, \"long\"| Lab 1 ||10|EXTERNAL|AVAILABLE| 12 |1|January|2020|5|"
                     "December|2026||||||date:2027-12-05|no|number:2|number:13.75|number:2",
                     QString("N-3|Gauge||||EXTERNAL|AVAILABLE| 12 |1|January|2020|5|December|||"
                             "Caf\uFFFD|||Zoë||no|number:0|number:0|number:0")}));
        QCOMPARE(sheets.instruments.rows[2][22].text, "13.75");
        rows.clear();
        for (const auto &row : sheets.history.rows)
            rows << row_text(row);
        QCOMPARE(rows,
                 (QStringList{"N-1|3/3/26|n/a|r", "N-2|date:2026-02-01|number:12.5|ok\nline two",
                              "N-2|date:2026-02-02|number:1.25|"}));
        QCOMPARE(sheets.history.rows[1][2].text, "12.50"); // the cost as written, for CSV
    }

    void csv_rows_are_rfc_4180_in_utf8()
    {
        const ListedSheets sheets = sample_sheets();
        const std::string history = sheet_csv(sheets.history);
        QCOMPARE(history, "\xEF\xBB\xBF"
                          "Instrument No,Date of calibration,Cost of Calibration,Result\r\n"
                          "N-1,3/3/26,n/a,r\r\n"
                          "N-2,01/02/2026,12.50,\"ok\nline two\"\r\n"
                          "N-2,02/02/2026,1.25,\r\n");
        const std::string instruments = sheet_csv(sheets.instruments);
        QVERIFY(instruments.find("\r\nN-2,\"Probe, \"\"long\"\"\", Lab 1 ,,10,") !=
                std::string::npos);
        QVERIFY(instruments.find(",Caf\xEF\xBF\xBD,,,Zo\xC3\xAB,,no,0,0.00,0\r\n") !=
                std::string::npos);
    }

    // A reader finds the same cells in the workbook: dates as date serials, numbers as numbers;
    // the header row is bold and frozen, and the columns are sized to their contents.
    void the_workbook_holds_the_same_cells()
    {
        TestEnv env;
        const ListedSheets sheets = sample_sheets();
        const QString book = env.path("out.xlsx");
        const ExportOutcome outcome = write_workbook(sheets, book);
        QVERIFY2(outcome.ok(), qPrintable(outcome.reason));
        QCOMPARE(outcome.written, QStringList{book});
        QCOMPARE(workbook_rows(book, 1), expected_rows(sheets.instruments));
        QCOMPARE(workbook_rows(book, 2), expected_rows(sheets.history));
        QCOMPARE(workbook_rows(book, 1)[1].section('|', 19, 19), "46054"); // 1 February 2026

        const QString first = QString::fromUtf8(unzipped(book, "xl/worksheets/sheet1.xml"));
        QVERIFY(first.contains(
            "<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
        // "Instrument Description" is the widest text of column B, "Probe, "long"" of none.
        QVERIFY2(first.contains("<col min=\"2\" max=\"2\" width=\"23"), qPrintable(first));
        const QString styles = QString::fromUtf8(unzipped(book, "xl/styles.xml"));
        QVERIFY(styles.contains("<b/>"));
        QVERIFY(QRegularExpression("<c r=\"A1\" s=\"\\d+\" t=\"s\">").match(first).hasMatch());
    }

    // Nothing is left behind by an export that fails, and the file and the reason are given.
    void a_failed_export_leaves_no_file()
    {
        TestEnv env;
        const ListedSheets sheets = sample_sheets();
        const QString missing = env.path("missing/out.xlsx");
        ExportOutcome outcome = write_workbook(sheets, missing);
        QCOMPARE(outcome.failed_file, missing);
        QVERIFY(!outcome.reason.isEmpty());
        QVERIFY(outcome.written.isEmpty());

        // The calibrations' file cannot be written: neither file is.
        QVERIFY(QDir(env.dir()).mkdir("out-history.csv"));
        outcome = write_csv_files(sheets, env.path("out.csv"));
        QCOMPARE(outcome.failed_file, env.path("out-history.csv"));
        QVERIFY(outcome.written.isEmpty());
        QVERIFY(!env.exists("out.csv"));
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList());
    }

    // The menu item writes what the list shows, in its order, and says where; a file that
    // cannot be written is told.
    void the_menu_item_exports_the_listed_items()
    {
        WindowFixture f({.products = file_of(sample_records()), .history = sample_history()});
        f.run("Option6");
        QStringList asked;
        QString chosen = f.env.path("out.csv");
        set_save_file_chooser([&](QWidget *, const SaveFileRequest &request) {
            asked << request.caption << request.filter;
            return chosen;
        });
        Messages::clear();
        f.run("exportlisted");
        QCOMPARE(asked,
                 (QStringList{"Export Listed Items", "Excel workbook (*.xlsx);;CSV (*.csv)"}));
        QCOMPARE(shown_messages(),
                 QStringList{"Information \"Durnmoor\": 4 instruments and 3 calibrations were "
                             "exported to:\n" +
                             chosen + "\n" + f.env.path("out-history.csv") + " (Ok, default Ok)"});
        const std::string csv = f.env.read_file("out.csv");
        // By description: Gauge, Meter, Meter twin, Probe.
        QStringList numbers;
        for (const QString &line : QString::fromStdString(csv).split("\r\n").mid(1))
            numbers << line.section(',', 1, 1);
        QCOMPARE(numbers, (QStringList{"Gauge", "Meter", "Meter twin", "\"Probe", ""}));

        Messages::clear();
        chosen = f.env.path("missing/out");
        f.run("exportlisted");
        QCOMPARE(shown_messages(),
                 QStringList{"Warning \"Durnmoor\": " + chosen +
                             ".xlsx could not be written.\nNo such file or directory\nNothing "
                             "has been exported. (Ok, default Ok)"});
    }
};

QTEST_MAIN(ExportTest)
#include "tst_export.moc"
