// The listed-items report: its layout page by page, and the print dialog that makes it.
#include "report/report_layout.h"
#include "report/report_printer.h"
#include "store/file_faults.h"
#include "support/window_fixture.h"

#include <cerrno>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Each line at a glance: its size ("_" when underlined), then column:text for each cell.
QStringList page_text(const ReportPage &page)
{
    QStringList lines;
    for (const ReportLine &line : page.lines) {
        QStringList cells;
        for (const ReportCell &cell : line.cells)
            cells << QStringLiteral("%1:%2").arg(cell.column).arg(cell.text);
        lines << QString::number(line.point_size) + (line.underline ? "_ " : " ") + cells.join('|');
    }
    return lines;
}

const QString titles = "8_ 5:Instrument|45:Description|80:Location|115:Calibrated by|"
                       "145:Int/Ex/Ref|160:Avail/Obsl|180:Next Due Date";

// What a poppler tool makes of a file; a null text when it is not installed.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    return process.waitForFinished() ? QString::fromUtf8(process.readAllStandardOutput())
                                     : QString();
}

// The pages of a PDF as pdftotext lays them out, each a list of its lines without the empty
// ones, blanks between words made single; none when the tool is not installed.
QList<QStringList> pdf_pages(const QString &pdf)
{
    QList<QStringList> pages;
    for (const QString &page : poppler("pdftotext", {"-layout", pdf, "-"}).split(u'\f')) {
        QStringList lines;
        for (const QString &line : page.split(u'\n'))
            if (!line.simplified().isEmpty())
                lines << line.simplified();
        pages << lines;
    }
    pages.removeLast(); // after the last page's form feed, or all there is of no text
    return pages;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { set_pdf_file_chooser({}); }

    // Texts at their column's length are printed whole, one longer is cut; a record whose
    // dates give no due date leaves that cell empty.
    void a_page_is_its_header_then_its_items()
    {
        std::vector<product_record> records;
        for (std::size_t longer : {0, 1})
            records.push_back(
                with(make_record({std::string(28 + longer, 'n'), std::string(24 + longer, 'd'),
                                  "AVAILABLE", " 1 ", "31", longer ? "April" : "January", "2027"}),
                     {{location, std::string(28 + longer, 'l')},
                      {cal_company, std::string(20 + longer, 'c')}}));
        const QString item = "8 5:" + QString(28, 'n') + "|45:" + QString(24, 'd') +
                             "|80:" + QString(28, 'l') + "|115:" + QString(20, 'c') +
                             "|145:EXTERNAL|160:AVAILABLE|180:";
        const ProductsData data(file_of(records));
        const auto layout = report_layout(data, list_entries(data, instrument_no), instrument_no,
                                          {}, QDate(2026, 12, 5));
        QCOMPARE(page_text(layout.pages[0]),
                 (QStringList{"12 5:Durnmoor V1.00", "12 80:Printed: Sat December 05 2026",
                              "12 5:Page 1|80:Total Pages: 1", "12 ", "12 ", titles,
                              item + "Sun Feb 28 2027", item}));

        // With no box ticked only the key is printed, a description cut like its own column;
        // each entry prints every record with its key, so two entries alike print four lines,
        // and an entry whose record has gone prints nothing.
        const ProductsData alike(file_of({make_record({"M-1", std::string(25, 'd')}),
                                          make_record({"M-2", std::string(25, 'd')})}));
        std::vector<ListEntry> entries = list_entries(alike, description);
        entries.push_back({"Gone", "Gone", 0});
        const auto keys_only =
            report_layout(alike, entries, description, {false, false, false, false, false, false},
                          QDate(2026, 12, 5));
        QCOMPARE(page_text(keys_only.pages[0]).mid(5),
                 QStringList{titles} + QStringList(4, "8 5:" + QString(24, 'd')));
    }

    // The report as it reads in its PDF, listed by description in the list's order (not the
    // file's): each page its header with the date it was printed and its number of the total,
    // then up to 53 entries, each text cut to its column's length and the due date in the
    // short form. A page filled by the last entry is followed by one of its header only.
    void pages_read_back_data()
    {
        QTest::addColumn<int>("instruments");
        QTest::addColumn<QList<int>>("items"); // per page
        QTest::newRow("empty list") << 0 << QList<int>{0};
        QTest::newRow("52") << 52 << QList<int>{52};
        QTest::newRow("53") << 53 << QList<int>{53, 0};
        QTest::newRow("60") << 60 << QList<int>{53, 7};
        QTest::newRow("107") << 107 << QList<int>{53, 53, 1};
    }
    void pages_read_back()
    {
        QFETCH(int, instruments);
        QFETCH(QList<int>, items);
        std::vector<product_record> records;
        QStringList expected; // what each record prints, blanks made single
        for (int n = instruments; n > 0; --n) {
            // File order runs against the order of the descriptions, which key the list; every
            // text is one character longer than its column.
            const QString what =
                QString("Meter %1 ").arg(n, 3, 10, QChar('0')).leftJustified(25, 'x');
            records.push_back(
                with(make_record({"N-" + std::to_string(n), what.toStdString()}),
                     {{location, std::string(29, 'l')}, {cal_company, std::string(21, 'c')}}));
            // The first instrument's certificates are counted over its calibration dates.
            expected.prepend(QString("%1 %1 %2 %3 EXTERNAL AVAILABLE Sun Dec 05 2027 %4")
                                 .arg(what.left(24), QString(28, 'l'), QString(20, 'c'))
                                 .arg(n == 1 ? 3 : 0));
        }
        WindowFixture f({.products = file_of(records), .prepare = [](TestEnv &env) {
                             for (const char *file : {"certificates/N-1/2026-12-05/a.pdf",
                                                      "certificates/N-1/2026-12-05/b.pdf",
                                                      "certificates/N-1/2025-12-05/a.pdf"}) {
                                 QDir().mkpath(QFileInfo(env.path(file)).path());
                                 env.write_file(file, "pdf");
                             }
                         }});
        const QString pdf = f.env.path("listed.pdf");
        set_pdf_file_chooser([pdf](QWidget *) { return pdf; });
        f.run("Option6; printlisted; Command1");

        const QList<QStringList> pages = pdf_pages(pdf);
        QCOMPARE(pages.size(), items.size());
        QStringList printed;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QCOMPARE(pages[p].mid(0, 4),
                     (QStringList{"Durnmoor V1.00", "Printed: Sat December 05 2026",
                                  QString("Page %1 Total Pages: %2").arg(p + 1).arg(pages.size()),
                                  "Instrument Description Location Calibrated by Int/Ex/Ref "
                                  "Avail/Obsl Next Due Date Certificates"}));
            QCOMPARE(pages[p].size() - 4, items[p]);
            printed << pages[p].mid(4);
        }
        QCOMPARE(printed, expected);
    }

    // However the dialog ends, the main window is usable again. A PDF that cannot be written is
    // said so, naming the file and why, and nothing counts as printed: a file already there is kept
    // byte for byte, no half-written file is left beside it, and the dialog stays open, as it was,
    // for another file to be named. The file is an A4 page across, in columns of Arial's average
    // width, with only the columns ticked. (That every box is ticked at first shows in the
    // pages read back.)
    void print_dialog_data()
    {
        QTest::addColumn<QStringList>("files"); // named by the file chooser, one by one
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason"); // why the first file could not be written
        // clang-format off
        QTest::newRow("printed") << QStringList{"listed.pdf"} << "Command1" << "";
        QTest::newRow("file not named") << QStringList() << "Command1" << "";
        QTest::newRow("register unreadable") << QStringList{"listed.pdf"} << "unreadable" << "";
        QTest::newRow("closed") << QStringList() << "close" << "";
        QTest::newRow("missing folder") << QStringList{"no such folder/listed.pdf", "retried.pdf"}
            << "Command1" << "No such file or directory";
        QTest::newRow("disk full half way") << QStringList{"listed.pdf", "retried.pdf"}
            << "disk full" << "No space left on device";
        // clang-format on
    }
    void print_dialog()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, how);
        QFETCH(QString, reason);
        WindowFixture f({file_of(
            {with(make_record({"DMM-014", "Bench multimeter"}), {{cal_company, "Acme"}})})});
        const std::string old_pdf = "%PDF-1.4 an older report\n%%EOF\n";
        f.env.write_file("listed.pdf", old_pdf);
        for (QString &file : files)
            file = f.env.path(file);
        f.run("printlisted");
        QWidget *dialog = open_windows("printit").value(0);
        QVERIFY(dialog && dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!f.window->isEnabled());
        bool usable = true; // the dialog, whenever a file is asked for
        set_pdf_file_chooser([files, dialog, &usable](QWidget *) mutable {
            usable = usable && dialog->isEnabled();
            return files.isEmpty() ? QString() : files.takeFirst();
        });
        set_file_fault([how](FileStep step, const QString &name) {
            if (how == "disk full" && step == FileStep::write_twin && name == "listed.pdf")
                return ENOSPC;
            return how == "unreadable" && step == FileStep::open && name == "products.dat" ? EACCES
                                                                                           : 0;
        });
        f.run(how == "close" ? "close" : "Check4; Command1");
        if (!reason.isEmpty()) {
            QCOMPARE(shown_messages(),
                     QStringList{QString("Warning \"Durnmoor\": %1 could not be written.\n%2\n"
                                         "Nothing has been printed. (Ok, default Ok)")
                                     .arg(files[0], reason)});
            QCOMPARE(f.env.read_file("listed.pdf"), old_pdf);
            QCOMPARE(QDir(f.env.dir()).entryList({"*listed*"}, QDir::Files | QDir::Hidden),
                     QStringList{"listed.pdf"});
            QVERIFY(open_windows("printit") == QWidgetList{dialog});
            QCOMPARE(dialog->windowTitle(), "Durnmoor Print Listed Items - Format Table");
            QVERIFY(dialog->isEnabled() && !f.window->isEnabled());
            QVERIFY(!f.control<QCheckBox>("Check4")->isChecked());
            f.run("Command1");
        }
        QVERIFY(open_windows("printit").isEmpty() && f.window->isEnabled() && usable);
        QCOMPARE(shown_messages().size(), reason.isEmpty() && how != "unreadable" ? 0 : 1);
        const bool printed = how != "unreadable" && !files.isEmpty();
        QCOMPARE(f.env.read_file("listed.pdf") == old_pdf, !printed || !reason.isEmpty());
        if (!printed)
            return;
        const QString pdf = files.last(), info = poppler("pdfinfo", {pdf}),
                      words = poppler("pdftotext", {"-bbox", pdf, "-"});
        QVERIFY2(words.contains("DMM-014") && !words.contains("Acme"), qPrintable(words));
        QVERIFY2(info.contains("842 x 595 pts (A4)"), qPrintable(info)); // landscape
        // Column n stands n - 1 average widths from the printable area's edge, 4 mm in.
        const auto x = [&words](const char *word) {
            const auto found =
                QRegularExpression(QStringLiteral("xMin=\"([\\d.]+)\"[^>]*>%1<").arg(word))
                    .match(words);
            return found.hasMatch() ? found.captured(1).toDouble() : -1000.0;
        };
        const qreal column = (x("Total") - x("Page")) / 75; // at 12 points
        QVERIFY2(qAbs(column / 12 * 2048 - 904) < 3, "not Arial's average width, 904/2048 em");
        QVERIFY(qAbs(x("Page") - 4 * column - 4 / 25.4 * 72) < 1);
        for (const char *word : {"V1.00", "Printed:", "2027"})
            QVERIFY2(x(word) > 0, word);
    }
};

QTEST_MAIN(ReportTest)
#include "tst_report.moc"
