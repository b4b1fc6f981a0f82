// The calibration side of the main window, driven through its own controls: the next due
// date on the details tab, the listing of instruments falling due, and the history tab.
// Today is Saturday 5 December 2026 throughout.
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

std::string cal(const std::string &no, const std::string &date, const std::string &cost,
                const std::string &result)
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
const std::string psu_before = cal("PSU-2", "03/03/2026", "30", "Ripple 2 \xB5V\r\n");
const std::string psu_between = cal("PSU-2", "05/12/2026", "31", "psu\r\n\r\n");
const std::string dmm_jan = cal("DMM-1", "10/01/2026", "60", "January\r\n");
const std::string other_case = cal("dmm-1", "05/12/2026", "5", "other case\r\n");
const std::string two_lines = "Calibrated OK\r\nDrift 0.1%\r\n";
// Two calibrations of today, another instrument's between them.
const std::string same_day = psu_before +
                             cal("DMM-1", "05/12/2026", "100", "First OK\r\nDrift 0.2%\r\n") +
                             psu_between + cal("DMM-1", "05/12/2026", "80", "second\r\n");
const std::string original = same_day + dmm_jan + other_case;

// One instrument with a 12-month interval.
product_record instrument(const std::string &number, const std::string &description,
                          const std::string &day, const std::string &month, const std::string &year,
                          const std::string &availability = "AVAILABLE",
                          const std::string &mode = "EXTERNAL")
{
    return make_record({number, description, availability, " 12 ", day, month, year, mode});
}

// Intervals longer than can be typed, and a date that is no date, each after an instrument
// with other dates; last, an instrument to type into.
const std::string due_register =
    file_of({make_record({"A-1", "shown first", "AVAILABLE", " 1 ", "9", "May", "2026"}),
             make_record({"B-120", "Probe", "AVAILABLE", " 120 ", "5", "April", "2026"}),
             make_record({"B-1e5", "Probe", "AVAILABLE", " 100000 ", "5", "April", "2026"}),
             make_record({"B-31", "Probe", "AVAILABLE", " 6 ", "31", "April", "2026"}),
             instrument("DMM-014", "Bench multimeter", "5", "December", "2026")});

// Each warning shown, up to a colon (a file failure names its cause after one).
QString warnings_shown()
{
    QStringList texts;
    for (const MessageRequest &m : Messages::shown())
        if (m.icon == QMessageBox::Warning && m.title == QLatin1String("Durnmoor"))
            texts << m.text.section(u':', 0, 0);
    return texts.join(u'|');
}

} // namespace

Q_DECLARE_METATYPE(std::string)

class tst_HistoryTab : public QObject {
    Q_OBJECT

private slots:
    void due_date_data();
    void due_date();
    void add_sets_the_pickers_to_today();
    void due_listing_data();
    void due_listing();
    void instrument_history_data();
    void instrument_history();
    void record_and_remove_data();
    void record_and_remove();
};

// What a record brings with it decides its due date: never the typing limit of the interval
// box, never the date of the instrument shown before it. What is typed or picked counts at
// once.
void tst_HistoryTab::due_date_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("due");
    // clang-format off
    QTest::newRow("longer than can be typed") << "row=0; row=1" << "120" << "Saturday Apr 5 2036";
    QTest::newRow("beyond exponent form") << "row=0; row=2" << "100000" << "Wednesday Aug 5 10359";
    QTest::newRow("no such day in April") << "row=0; row=3" << "6" << "";
    QTest::newRow("letter after the digits dropped")
        << "double-click=4; Text6=12a" << "12" << "Sunday Dec 5 2027";
    // The point must survive its own key, before the digit after it is typed.
    QTest::newRow("fraction") << "double-click=4; Text6=1.5" << "1.5" << "Tuesday Jan 5 2027";
    QTest::newRow("fourth character refused")
        << "double-click=4; Text6=1234" << "123" << "Thursday Mar 5 2037";
    QTest::newRow("31 then April: no date, the previous one counts on")
        << "double-click=4; Combo1=31; Combo5=April; Text6=1" << "1" << "Sunday Jan 31 2027";
    // clang-format on
}

void tst_HistoryTab::due_date()
{
    QFETCH(QString, steps);
    QFETCH(QString, due);
    WindowFixture f(due_register);
    f.run(steps);
    QTEST(f.text_of("Text6"), "interval");
    QCOMPARE(f.text_of("Text21"), due);
    QCOMPARE(f.list()->toolTip(), f.text_of("Text1") + " (" + f.text_of("Text2") + ") due " + due);
    if (steps.startsWith("row=")) { // saved unchanged, the record is written back as it was
        f.run("Command13; Yes; Command4");
        COMPARE_FILE(f.products(), due_register);
    }
}

void tst_HistoryTab::add_sets_the_pickers_to_today()
{
    WindowFixture f(due_register);
    f.run("row=0"); // other dates in both frames
    f.run("Command1");
    QStringList pickers;
    for (const char *name : {"Combo2", "Combo3", "Combo4", "Combo1", "Combo5", "Combo6"}) {
        const auto *box = f.control<QComboBox>(name);
        pickers << QStringLiteral("%1 of %2: %3 to %4")
                       .arg(box->currentText(), QString::number(box->count()), box->itemText(0),
                            box->itemText(box->count() - 1));
    }
    const QStringList today{"05 of 31: 1 to 31", "December of 12: January to December",
                            "2026 of 201: 1926 to 2126"};
    QCOMPARE(pickers, today + today);
}

// Overdue, due this month, or with no due date: listed under every horizon.
void tst_HistoryTab::due_listing_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("listed");
    const QString always = "BAD-1, DEC-31, %1JAN-10, %2OBS-1, OVR-25, REF-1";
    // From another horizon first, so that the chosen one has something to change.
    QTest::newRow("1 Month") << "Option10; Option8" << always.arg("", "");
    QTest::newRow("2 Months") << "Option8; Option12" << always.arg("FEB-01, ", "");
    QTest::newRow("3 Months") << "Option8; Option9" << always.arg("FEB-01, ", "MAR-05, ");
    QTest::newRow("6 Months") << "Option8; Option10" << always.arg("FEB-01, ", "JUN-05, MAR-05, ");
    QTest::newRow("12 Months and beyond")
        << "Option8; Option11" << always.arg("FEB-01, ", "JUL-05, JUN-05, MAR-05, ");
    QTest::newRow("1 Month by description")
        << "Option6; Option10; Option8"
        << "Hygrometer, Obsolete bridge, Old meter, Reference, Torque wrench, Unknown history";
}

void tst_HistoryTab::due_listing()
{
    QFETCH(QString, steps);
    WindowFixture f(
        file_of({instrument("JUL-05", "Thermometer", "5", "July", "2026"), // 7 months away
                 instrument("JUN-05", "Balance", "5", "June", "2026"),
                 instrument("MAR-05", "Caliper", "5", "March", "2026"),
                 instrument("JAN-10", "Torque wrench", "10", "January", "2026"),
                 instrument("FEB-01", "Pressure gauge", "1", "February", "2026"),
                 instrument("OVR-25", "Old meter", "1", "January", "2025"),
                 instrument("DEC-31", "Hygrometer", "31", "December", "2025"),
                 instrument("OBS-1", "Obsolete bridge", "5", "November", "2025", "OBSOLETE"),
                 instrument("REF-1", "Reference", "5", "December", "2025", "AVAILABLE", "REF ONLY"),
                 instrument("BAD-1", "Unknown history", "xx", "May", "2025")}));
    f.run(steps);
    QTEST(f.list_lines().join(", "), "listed");
    QVERIFY(f.window->windowTitle().startsWith("Durnmoor V1.0"));
}

void tst_HistoryTab::instrument_history_data()
{
    QTest::addColumn<std::string>("history");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("figures"); // count, total, average
    QTest::newRow("file order, other case left out")
        << cal("DMM-1", "05/12/2026", "100", "a\r\n") + psu_before + other_case +
               cal("DMM-1", "10/01/2026", "100", "b\r\n") + cal("DMM-1", "02/03/2025", "50", "")
        << QStringList{"Saturday Dec 5 2026", "Saturday Jan 10 2026", "Sunday Mar 2 2025"}
        << QStringList{"3", "250.00", "83.3333"};
    QTest::newRow("no records") << psu_before << QStringList{} << QStringList{"0", "0.00", ""};
    QTest::newRow("cost no number: counted, not added")
        << cal("DMM-1", "05/12/2026", "100", "") + cal("DMM-1", "14/06/2025", "n/a", "")
        << QStringList{"Saturday Dec 5 2026", "Saturday Jun 14 2025"}
        << QStringList{"2", "100.00", "50.00"};
}

void tst_HistoryTab::instrument_history()
{
    QFETCH(std::string, history);
    WindowFixture f(register_bytes(), history);
    // The same history whether the list shows numbers or (here empty) descriptions.
    for (const char *order : {"Option5", "Option6"}) {
        f.run(order + QStringLiteral("; row=0; tab=3"));
        QTEST(f.lines_of("List2"), "entries");
        QTEST((QStringList{f.text_of("Text29"), f.text_of("Text28"), f.text_of("Text27")}),
              "figures");
    }
}

void tst_HistoryTab::record_and_remove_data()
{
    QTest::addColumn<QString>("steps"); // after the multimeter is opened on the history tab
    QTest::addColumn<std::string>("after");
    QTest::addColumn<QString>("warning");
    const QString update = "; Text26=%1; Yes; Command10";

    QTest::newRow("remove takes the whole day")
        << "history double-click=1; Command11" << psu_before + psu_between + dmm_jan + other_case
        << "";
    QTest::newRow("remove, nothing selected")
        << "history ctrl-row=1; Command11" << original
        << "You have to select a calibration-date from the history-list to remove it!";
    QTest::newRow("correct the whole day")
        << "history double-click=1" + update.arg("Calibrated OK\nDrift 0.1%")
        << psu_before + cal("DMM-1", "05/12/2026", "100", two_lines) + psu_between +
               cal("DMM-1", "05/12/2026", "80", two_lines) + dmm_jan + other_case
        << "";
    QTest::newRow("new, though today's is on file")
        << "history ctrl-row=1; Command9" + update.arg("Calibrated OK\nDrift 0.1%")
        << original + cal("DMM-1", "05/12/2026", "75.50", two_lines) << "";
    QTest::newRow("end marker refused")
        << "history ctrl-row=1; Command9" + update.arg("Calibrated OK\n#2RESULT") << original
        << "A line of the result cannot read #2RESULT.";
    QTest::newRow("history not writable")
        << "block history2.dat; history ctrl-row=1; Command9" + update.arg("Calibrated OK")
        << original << "history.dat could not be saved.\nhistory2.dat";
    QTest::newRow("history unreadable: update refused")
        << "unreadable history.dat; history ctrl-row=1; Command9" + update.arg("Calibrated OK")
        << original << "history.dat could not be read, so it has not been changed.\nhistory.dat";
    QTest::newRow("history unreadable: remove refused")
        << "unreadable history.dat; history double-click=1; Command11" << original
        << "history.dat could not be read.\nhistory.dat|"
           "history.dat could not be read, so it has not been changed.\nhistory.dat|"
           "history.dat could not be read.\nhistory.dat";
}

void tst_HistoryTab::record_and_remove()
{
    QFETCH(QString, steps);
    QFETCH(QString, warning);
    WindowFixture f(register_bytes(), original);
    auto *result = f.control<QPlainTextEdit>("Text26");
    f.double_click_row(f.list_lines().indexOf("DMM-1"));
    f.show_tab(tab_history);
    // Two entries of one day read alike, so the second shows the first one's result; a
    // click on it again shows that stored result over what was typed.
    f.run("history double-click=1; Text26=typed over; history row=1");
    QCOMPARE(result->toPlainText(), "First OK\nDrift 0.2%\n");

    f.run(steps);

    QTEST(f.history(), "after");
    QCOMPARE(warnings_shown(), warning);
    const bool remove = steps.endsWith("Command11"), saved = !remove && warning.isEmpty();
    QCOMPARE(f.products(), register_bytes(saved));
    QVERIFY(f.window->windowTitle().startsWith("Durnmoor V1.0"));
    if (!remove && !saved) // refused or not written: the box stays open to try again
        QVERIFY(!result->isReadOnly());
    if (saved && steps.startsWith("history double-click=1")) {
        f.run("tab=0; row=0; tab=3; history row=1");
        QCOMPARE(result->toPlainText(), "Calibrated OK\nDrift 0.1%\n");
    }
}

QTEST_MAIN(tst_HistoryTab)
#include "tst_history_tab.moc"
