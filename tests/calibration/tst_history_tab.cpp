// history.dat as read and summed, the results appended to it, and the due dates a record's
// dates give; then the calibration side of the main window, driven through its own
// controls: the next due date on the details tab, the listing of instruments falling due,
// the history tab, and the start-up reminder. Today is Saturday 5 December 2026 throughout.
#include "calibration/due_dates.h"
#include "calibration/history_file.h"
#include "calibration/result_box.h"
#include "support/window_fixture.h"

#include <QScopeGuard>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// One calibration record as the program writes it; result holds its lines with their ends.
std::string cal(const std::string &no, const std::string &cost, const std::string &result,
                const std::string &date = "05/12/2026")
{
    return crlf_lines({no, date, cost, "#1RESULT"}) + result + "#2RESULT\r\n";
}

// The register, or the same once the multimeter was saved as calibrated today.
std::string register_bytes(bool calibrated = false)
{
    const auto [day, month] = calibrated ? std::pair("05", "December") : std::pair("10", "January");
    return file_of({make_record({.number = "DMM-1", .day = day, .month = month, .cost = "75.50"}),
                    make_record({.number = "PSU-2", .cost = "30"})});
}

// Other instruments' records hold bytes no local encoding may change, and a number that
// differs only in case; every rewrite must copy them untouched.
const std::string psu_before = cal("PSU-2", "30", "Ripple 2 \xB5V\r\n", "03/03/2026");
const std::string psu_between = cal("PSU-2", "31", "psu\r\n\r\n");
const std::string dmm_jan = cal("DMM-1", "60", "January\r\n", "10/01/2026");
const std::string other_case = cal("dmm-1", "5", "other case\r\n");
const std::string two_lines = "Calibrated OK\r\nDrift 0.1%\r\n";
// Two calibrations of today, another instrument's between them.
const std::string same_day = psu_before + cal("DMM-1", "100", "First OK\r\nDrift 0.2%\r\n") +
                             psu_between + cal("DMM-1", "80", "second\r\n");
const std::string original = same_day + dmm_jan + other_case;

// Calibrated every 12 months, last on the given day.
product_record calibrated_on(const std::string &no, const std::string &day,
                             const std::string &month, const std::string &year = "2025",
                             const std::string &what = {})
{
    return make_record({no, what, "AVAILABLE", " 12 ", day, month, year});
}

// Intervals longer than can be typed (one with fields far beyond a text box's usual limit
// too), and a date that is no date, each after an instrument with other dates; last, an
// instrument to type into.
const std::string due_register =
    file_of({make_record({"A-1", "shown first", "AVAILABLE", " 1 ", "9", "May", "2026"}),
             with(make_record({"B-120", "Probe", "AVAILABLE", " 120 ", "5", "April", "2026"}),
                  {{location, std::string(1 << 17, 'l')}, {serial_no, std::string(40000, 's')}}),
             make_record({"B-1e5", "Probe", "AVAILABLE", " 100000 ", "5", "April", "2026"}),
             make_record({"B-31", "Probe", "AVAILABLE", " 6 ", "31", "April", "2026"}),
             make_record({"DMM-014", "Bench multimeter"})});

} // namespace

class tst_HistoryTab : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Money as the history tab sums it: every record counts, costs that are not numbers or
    // would overflow the total add nothing, and the fifth decimal rounds half away from zero.
    void figures_data()
    {
        QTest::addColumn<QByteArrayList>("costs");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("average"); // empty: no average
        auto row = [](const char *name, QByteArrayList costs, const char *total, const char *avg) {
            QTest::newRow(name) << costs << QString(total) << QString(avg);
        };
        row("three costs", {"1e2", " 100 ", "50.00 GBP"}, "250.00", "83.3333");
        row("n/a counted, not summed", {"n/a", "12.5"}, "12.50", "6.25");
        row("no records", {}, "0.00", "");
        row("overflow adds nothing", {"922337203685000", "476", "922337203685000"},
            "922337203685476.00", "307445734561825.3333");
        row("cost rounds half away below zero", {"-0.00005"}, "-0.0001", "-0.0001");
        row("average rounds half away below zero", {"-0.0001", "0"}, "-0.0001", "-0.0001");
        row("average under half rounds down", {"0.0001", "0", "0"}, "0.0001", "0.00");
    }
    void figures()
    {
        QFETCH(QByteArrayList, costs);
        // Lines that only look like the end marker must not end another instrument's record.
        std::string bytes = cal("a", "7", "") + cal("A ", "7", "") +
                            cal("B", "1", "x#2RESULT\r\n#2RESULT \r\n#2RESULTS\r\n");
        for (const QByteArray &cost : costs)
            bytes += cal("A", cost.toStdString(), "ok\r\n");
        const HistoryFigures figures = HistoryData(bytes).figures_of("A");
        QCOMPARE(figures.count, qint64(costs.size()));
        QTEST(QString::fromStdString(figures.total.format()), "total");
        QTEST(figures.average ? QString::fromStdString(figures.average->format()) : "", "average");
    }

    // A result as "&Update Result" appends it: only blanks are trimmed, a last line end adds
    // no line, and no line may read as the end marker. (Appending to a file of any bytes and
    // line ends, and rewriting it: the history fuzz target.)
    void result_lines_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::string>("lines"); // as stored, each ended by CR LF; empty: refused
        // clang-format off
        QTest::newRow("empty is one empty line") << " \r\n " << std::string("\r\n");
        QTest::newRow("last line end adds no line") << "OK\nDrift\n" << std::string("OK\r\nDrift\r\n");
        QTest::newRow("CR LF typed") << "ok\r\nDrift" << std::string("ok\r\nDrift\r\n");
        QTest::newRow("end marker with more kept") << "#2RESULT x" << std::string("#2RESULT x\r\n");
        QTest::newRow("end marker refused") << "ok\r\n#2RESULT\nmore" << std::string();
        QTest::newRow("only blanks trimmed") << "  \n\tfirst\t\n\nlast \n  "
            << std::string("\r\n\tfirst\t\r\n\r\nlast \r\n");
        // clang-format on
    }
    void result_lines()
    {
        QFETCH(QString, typed);
        QFETCH(std::string, lines);
        const auto result = encode_result(typed);
        QCOMPARE(result.has_value(), !lines.empty());
        if (result)
            QCOMPARE(*HistoryData().with_appended("N", "05/12/2026", "10", *result),
                     cal("N", "10", lines));
    }

    // A record's own date fields as they stand in the file: blanks, capitals, longer than a
    // short field, or beyond ASCII in the system's encoding, the month named in the language
    // of the day. A month end falls back to the last day of a shorter month. (Intervals, and
    // dates written and read back: the date forms' fuzz target.)
    void due_date_data()
    {
        QTest::addColumn<QByteArrayList>("fields"); // day, month, year, interval
        QTest::addColumn<QDate>("due");
        const auto row = [](const char *name, const QByteArrayList &fields, QDate due) {
            QTest::newRow(name) << fields << due;
        };
        row("month end clamped", {"31", "January", "2027", " 1 "}, QDate(2027, 2, 28));
        row("leap day + 12", {"29", "February", "2028", " 12 "}, QDate(2029, 2, 28));
        row("blanks and capitals", {" 30 ", "  JUNE ", "2026", " 12 "}, QDate(2027, 6, 30));
        row("longer than a short field", {QByteArray(40, ' ') + "30", "June", "2026", " 12 "},
            QDate(2027, 6, 30));
        row("German, beyond ASCII", {"30", "M\xc3\xa4rz", "2026", " 12 "}, QDate(2027, 3, 30));
        row("no such day", {"31", "June", "2026", " 12 "}, QDate());
        row("unknown month", {"5", "Smarch", "2026", " 12 "}, QDate());
    }
    void due_date()
    {
        QFETCH(QByteArrayList, fields);
        if (QByteArray(QTest::currentDataTag()).startsWith("German"))
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto field = [&](int i) { return fields[i].toStdString(); };
        const ProductsData data(
            file_of({make_record({"N-1", "", "", field(3), field(0), field(1), field(2)})}));
        QTEST(record_due_date(data, 0).value_or(QDate()), "due");
    }

    // What a record brings with it decides its due date: never the typing limit of the
    // interval box, never the date of the instrument shown before it. What is typed or
    // picked counts at once.
    void due_date_shown_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("due");
        // clang-format off
        QTest::newRow("longer than can be typed") << "row=0; row=1" << "120" << "Saturday Apr 5 2036";
        QTest::newRow("beyond exponent form") << "row=0; row=2" << "100000" << "Wednesday Aug 5 10359";
        QTest::newRow("no such day in April") << "row=0; row=3" << "6" << "";
        // The point must survive its own key, before the digit after it is typed.
        QTest::newRow("fraction") << "double-click=4; Text6=1.5" << "1.5" << "Tuesday Jan 5 2027";
        QTest::newRow("31 then April: no date, the previous one counts on")
            << "double-click=4; Combo1=31; Combo5=April; Text6=1" << "1" << "Sunday Jan 31 2027";
        // clang-format on
    }
    void due_date_shown()
    {
        QFETCH(QString, steps);
        QFETCH(QString, due);
        WindowFixture f({due_register});
        f.run(steps);
        QTEST(f.text_of("Text6"), "interval");
        QCOMPARE(f.text_of("Text21"), due);
        QCOMPARE(f.list()->toolTip(),
                 f.text_of("Text1") + " (" + f.text_of("Text2") + ") due " + due);
        if (steps.startsWith("row=")) { // saved unchanged, the record is written back whole
            f.run("Command13; Yes; Command4");
            QCOMPARE(f.products(), due_register);
        }
    }

    // Overdue, due this month, or with no due date: listed under every horizon. Each horizon
    // is chosen from another, so that it has something to change.
    void due_listing_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("listed");
        const QString always = "BAD-1, DEC-31, %1JAN-10, %2OBS-1, OVR-25, REF-1";
        // clang-format off
        QTest::newRow("1 Month") << "Option10; Option8" << always.arg("", "");
        QTest::newRow("2 Months") << "Option8; Option12" << always.arg("FEB-01, ", "");
        QTest::newRow("3 Months") << "Option8; Option9" << always.arg("FEB-01, ", "MAR-05, ");
        QTest::newRow("6 Months") << "Option8; Option10" << always.arg("FEB-01, ", "JUN-05, MAR-05, ");
        QTest::newRow("12 Months and beyond")
            << "Option8; Option11" << always.arg("FEB-01, ", "JUL-05, JUN-05, MAR-05, ");
        QTest::newRow("1 Month by description") << "Option6; Option10; Option8"
            << "Hygrometer, Obsolete bridge, Old meter, Reference, Torque wrench, Unknown history";
        // Due dates once worked out are carried over a rewrite, never left behind by it.
        QTest::newRow("3 Months after JUL-05 is deleted")
            << "Option8; Option11; row=4; Yes; Command3; Option9" << always.arg("FEB-01, ", "MAR-05, ");
        QTest::newRow("3 Months after JUL-05 is saved with 1 month")
            << "Option8; Option11; row=4; Command13; paste Text6=1; Yes; Command4; Option9"
            << always.arg("FEB-01, ", "JUL-05, MAR-05, ");
        // clang-format on
    }
    void due_listing()
    {
        // Files trusted as soon as written, so that what a rewrite keeps is what is listed.
        set_settling_time(0);
        const auto settle_again = qScopeGuard([] { set_settling_time(std::nullopt); });
        WindowFixture f(
            {file_of({calibrated_on("JUL-05", "5", "July", "2026", "Thermometer"), // 7 months away
                      calibrated_on("JUN-05", "5", "June", "2026", "Balance"),
                      calibrated_on("MAR-05", "5", "March", "2026", "Caliper"),
                      calibrated_on("JAN-10", "10", "January", "2026", "Torque wrench"),
                      calibrated_on("FEB-01", "1", "February", "2026", "Pressure gauge"),
                      calibrated_on("OVR-25", "1", "January", "2025", "Old meter"),
                      calibrated_on("DEC-31", "31", "December", "2025", "Hygrometer"),
                      with(calibrated_on("OBS-1", "5", "November", "2025", "Obsolete bridge"),
                           {{availability, "OBSOLETE"}}),
                      with(calibrated_on("REF-1", "5", "December", "2025", "Reference"),
                           {{cal_mode, "REF ONLY"}}),
                      calibrated_on("BAD-1", "xx", "May", "2025", "Unknown history")})});
        QFETCH(QString, steps);
        f.run(steps);
        QTEST(f.lines_of().join(", "), "listed");
        QVERIFY(f.window->windowTitle().startsWith("Durnmoor V1.0"));
    }

    void record_and_remove_data()
    {
        QTest::addColumn<QString>("steps"); // after the multimeter is opened on the history tab
        QTest::addColumn<std::string>("after");
        QTest::addColumn<QString>("warning");
        const QString update = "; Text26=%1; Yes; Command10",
                      record = "history ctrl-row=1; Command9";
        const QString ok = record + update.arg("Calibrated OK");
        const QString changed = "history.dat could not be read, so it has not been changed.\n";
        const QString shown = "history.dat could not be read.\n";
        const QString unrecorded = "The calibration could not be recorded.\n";
        const auto n = [](const std::string &result) { return cal("DMM-1", "75.50", result); };
        // clang-format off
        QTest::newRow("remove takes the whole day") << "history double-click=1; Command11"
            << psu_before + psu_between + dmm_jan + other_case << "";
        QTest::newRow("remove, nothing selected") << "history ctrl-row=1; Command11" << original
            << "You have to select a calibration-date from the history-list to remove it!";
        QTest::newRow("correct the whole day")
            << "history double-click=1" + update.arg("Calibrated OK\nDrift 0.1%")
            << psu_before + cal("DMM-1", "100", two_lines) + psu_between +
                   cal("DMM-1", "80", two_lines) + dmm_jan + other_case << "";
        QTest::newRow("new, though today's is on file")
            << record + update.arg("Calibrated OK\nDrift 0.1%") << original + n(two_lines) << "";
        QTest::newRow("end marker refused") << record + update.arg("Calibrated OK\n#2RESULT")
            << original << "A line of the result cannot read #2RESULT.";
        // The history and the register change together or not at all.
        QTest::newRow("history not writable") << "block history2.dat; " + ok << original
            << unrecorded + "history2.dat";
        QTest::newRow("register not writable") << "block products2.dat; " + ok << original
            << unrecorded + "products2.dat";
        QTest::newRow("overwrite declined: the calibration recorded alone")
            << QString(ok).replace("Yes", "No") << original + n("Calibrated OK\r\n") << "";
        QTest::newRow("history unreadable: update refused") << "unreadable history.dat; " + ok
            << original << changed + "history.dat";
        QTest::newRow("history unreadable: remove refused")
            << "unreadable history.dat; history double-click=1; Command11" << original
            << shown + "history.dat|" + changed + "history.dat|" + shown + "history.dat";
        // clang-format on
    }
    void record_and_remove()
    {
        QFETCH(QString, steps);
        QFETCH(QString, warning);
        WindowFixture f({register_bytes(), original});
        auto *result = f.control<QPlainTextEdit>("Text26");
        // Listed by description, the instrument's history is still found by its number, exactly:
        // the entries in file order and the figures, never another instrument's or another
        // case's. Two entries of one day read alike, so the second shows the first one's
        // result; a click on it again shows that stored result over what was typed.
        f.run("Option6; double-click=0; tab=3; history double-click=1; Text26=typed over; "
              "history row=1");
        QCOMPARE(f.lines_of("List2").join(", ") + " | " + f.text_of("Text29") + ' ' +
                     f.text_of("Text28") + ' ' + f.text_of("Text27"),
                 "Saturday Dec 5 2026, Saturday Dec 5 2026, Saturday Jan 10 2026 | 3 240.00 80.00");
        QCOMPARE(result->toPlainText(), "First OK\nDrift 0.2%\n");

        f.run(steps);

        QTEST(f.history(), "after");
        // Each warning up to a colon: a file failure names its cause after one.
        const QRegularExpression text(
            "(?s)^Warning \"Durnmoor\": ([^:]*?)(:.*)? \\(Ok, default Ok\\)$");
        QCOMPARE(shown_messages().filter(text).replaceInStrings(text, "\\1").join('|'), warning);
        const bool remove = steps.endsWith("Command11"), declined = steps.endsWith("No; Command10"),
                   saved = !remove && !declined && warning.isEmpty();
        QCOMPARE(f.products(), register_bytes(saved));
        // Recorded, with or without the register: the details tab shows today as the last
        // calibration.
        const auto shown = [&f](const char *box) {
            return f.control<QComboBox>(box)->currentText();
        };
        QCOMPARE(shown("Combo1") + ' ' + shown("Combo5") + ' ' + shown("Combo6"),
                 saved || declined ? "05 December 2026" : "10 January 2026");
        QVERIFY(f.window->windowTitle().startsWith("Durnmoor V1.0"));
        QVERIFY(steps.contains("block") ||
                (!f.env.exists("history2.dat") && !f.env.exists("products2.dat")));
        // Refused or not written: the box stays open, ready to store the result again.
        if (!remove && !saved && !declined)
            QVERIFY(!result->isReadOnly() && f.control<QPushButton>("Command10")->isEnabled());
        if (saved && steps.startsWith("history double-click=1")) {
            f.run("tab=0; row=0; tab=3; history row=1");
            QCOMPARE(result->toPlainText(), "Calibrated OK\nDrift 0.1%\n");
        }
    }

    // Whatever clears the entry (Add, Cancel, another listing or order) blanks the history tab
    // with it: one instrument's calibrations never stay beside another's fields.
    void clearing_the_entry_blanks_the_history()
    {
        for (const char *steps : {"Command1", "double-click=0; Command2", "fulllist", "Option6"}) {
            WindowFixture f({register_bytes(), original});
            f.run("row=0; tab=3; history row=0");
            QCOMPARE(f.lines_of("List2").size(), 3);
            f.run(steps);
            QVERIFY2(f.lines_of("List2").isEmpty(), steps);
            QCOMPARE(f.text_of("Text22") + f.text_of("Text27") + f.text_of("Text28") +
                         f.text_of("Text29") + f.control<QPlainTextEdit>("Text26")->toPlainText(),
                     QString());
        }
    }

    // The result box shows a long line in pieces, so that it stays quick; whatever is set,
    // pasted, typed or copied, the text is the text as given, line breaks where they were.
    void result_box_keeps_the_text_data()
    {
        QTest::addColumn<QString>("shown");  // set_text first
        QTest::addColumn<int>("at");         // then the cursor there
        QTest::addColumn<QString>("pasted"); // and this pasted, or Return typed for "<Return>"
        QTest::addColumn<QString>("text");
        const QString long_line = QString(3000, u'x') + "y";
        const int piece = ResultBox::piece_length;
        const QString pair = QString(piece - 1, u'a') + QString::fromUtf8("\U0001F600") + "b";
        // clang-format off
        QTest::newRow("lines, CR LF and a CR alone") << "a\r\nb\rc\n" << 0 << "" << "a\nb\nc\n";
        QTest::newRow("a character of two halves at a piece's end") << pair << 0 << "" << pair;
        QTest::newRow("a long line pasted inside a short one") << "ab\ncd" << 1
            << long_line + "\n" + long_line << "a" + long_line + "\n" + long_line + "b\ncd";
        QTest::newRow("Return inside a piece of a long line") << long_line << 2500 << "<Return>"
            << long_line.left(2500) + "\n" + long_line.mid(2500);
        QTest::newRow("Return at a piece's start") << long_line << piece << "<Return>"
            << long_line.left(piece) + "\n" + long_line.mid(piece);
        // clang-format on
    }
    void result_box_keeps_the_text()
    {
        QFETCH(QString, shown);
        QFETCH(int, at);
        QFETCH(QString, pasted);
        ResultBox box;
        box.set_text(shown);
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(at + at / ResultBox::piece_length); // past the breaks between pieces
        box.setTextCursor(cursor);
        if (pasted == "<Return>") {
            QTest::keyClick(&box, Qt::Key_Return);
        } else if (!pasted.isEmpty()) {
            QApplication::clipboard()->setText(pasted);
            box.paste();
        }
        QTEST(box.text(), "text");
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
            QVERIFY(block.length() <= 2 * ResultBox::piece_length); // the line it went into too
        // copied whole, the text comes out as it went in; undone, as it was
        box.selectAll();
        box.copy();
        QTEST(QApplication::clipboard()->text(), "text");
        if (!pasted.isEmpty()) {
            box.undo();
            QCOMPARE(box.text(), shown.replace("\r\n", "\n").replace('\r', '\n'));
        }
    }

    // At start-up, when the reminder is on, one window for each instrument due within the
    // notice or overdue, obsolete or not, in file order; never a record whose dates give no
    // due date.
    void reminders_at_start_up_data()
    {
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QString>("reminded");
        const QString week =
            "WEEK/is due for calibration in/7 days time./Saturday 12 December 2026";
        // clang-format off
        QTest::newRow("a week") << QVariantMap{{"Reminder/On", "1"}} << "TODAY 0, " + week + ", LATE -4, OBS -30";
        QTest::newRow("due today or overdue") << QVariantMap{{"Reminder/On", "1"}, {"Reminder/Days", "0"}}
            << "TODAY 0, LATE -4, OBS -30";
        QTest::newRow("off") << QVariantMap{{"Reminder/On", "0"}} << "";
        QTest::newRow("absent") << QVariantMap() << "";
        // clang-format on
    }
    void reminders_at_start_up()
    {
        QFETCH(QVariantMap, settings);
        const WindowFixture f(
            {.products = file_of(
                 {calibrated_on("TODAY", "5", "December"), calibrated_on("WEEK", "12", "December"),
                  calibrated_on("EIGHT", "13", "December"), calibrated_on("LATE", "1", "December"),
                  with(calibrated_on("OBS", "5", "November"), {{availability, "OBSOLETE"}}),
                  calibrated_on("NODATE", "31", "April")}),
             .settings = settings});
        QWidgetList windows = open_windows("Reminder");
        // Each opens below and right of the one before.
        std::sort(windows.begin(), windows.end(),
                  [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
        QStringList reminded;
        for (QWidget *window : windows) {
            QStringList labels;
            for (const char *label : {"Label1", "Label2", "Label3", "Label4"})
                labels << window->findChild<QLabel *>(label)->text();
            // One window in full; of the others, the number and the days.
            reminded << (labels[0] == "WEEK" ? labels.join('/')
                                             : labels[0] + ' ' + labels[2].section(' ', 0, 0));
            window->close();
        }
        QTEST(reminded.join(", "), "reminded");
    }
};

QTEST_MAIN(tst_HistoryTab)
#include "tst_history_tab.moc"
