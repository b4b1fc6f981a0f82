// The history tab driven through the window's own controls, checked against the files.
#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

std::string cal(const std::string &no, const std::string &date, const std::string &cost,
                const std::string &result)
{
    return crlf_lines({no, date, cost, "#1RESULT"}) + result + "#2RESULT\r\n";
}

const auto bytes = [](const std::string &text) { return QByteArray::fromStdString(text); };

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

class tst_HistoryTab : public QObject {
    Q_OBJECT

private slots:
    void instrument_history_data();
    void instrument_history();
    void record_and_remove_data();
    void record_and_remove();
};

void tst_HistoryTab::instrument_history_data()
{
    QTest::addColumn<QByteArray>("history");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("figures"); // count, total, average
    QTest::newRow("file order, other case left out")
        << bytes(cal("DMM-1", "05/12/2026", "100", "a\r\n") + psu_before + other_case +
                 cal("DMM-1", "10/01/2026", "100", "b\r\n") + cal("DMM-1", "02/03/2025", "50", ""))
        << QStringList{"Saturday Dec 5 2026", "Saturday Jan 10 2026", "Sunday Mar 2 2025"}
        << QStringList{"3", "250.00", "83.3333"};
    QTest::newRow("no records") << bytes(psu_before) << QStringList{}
                                << QStringList{"0", "0.00", ""};
    QTest::newRow("cost no number: counted, not added")
        << bytes(cal("DMM-1", "05/12/2026", "100", "") + cal("DMM-1", "14/06/2025", "n/a", ""))
        << QStringList{"Saturday Dec 5 2026", "Saturday Jun 14 2025"}
        << QStringList{"2", "100.00", "50.00"};
}

void tst_HistoryTab::instrument_history()
{
    QFETCH(QByteArray, history);
    WindowFixture f(register_bytes(), history.toStdString());
    // The same history whether the list shows numbers or (here empty) descriptions.
    for (const char *order : {"Option5", "Option6"}) {
        f.run(order + QStringLiteral("; row=0"));
        f.show_tab(tab_history);
        QTEST(f.lines_of("List2"), "entries");
        QTEST((QStringList{f.text_of("Text29"), f.text_of("Text28"), f.text_of("Text27")}),
              "figures");
    }
}

void tst_HistoryTab::record_and_remove_data()
{
    QTest::addColumn<bool>("remove");
    QTest::addColumn<int>("entry"); // List2 row chosen; -1 for none
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("blocked"); // "block" history2.dat, or make history.dat "unreadable"
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("warning");

    QTest::newRow("remove takes the whole day")
        << true << 1 << ""
        << "" << bytes(psu_before + psu_between + dmm_jan + other_case) << "";
    QTest::newRow("remove, nothing selected")
        << true << -1 << ""
        << "" << bytes(original)
        << "You have to select a calibration-date from the history-list to remove it!";
    QTest::newRow("correct the whole day")
        << false << 1 << "Calibrated OK\nDrift 0.1%"
        << ""
        << bytes(psu_before + cal("DMM-1", "05/12/2026", "100", two_lines) + psu_between +
                 cal("DMM-1", "05/12/2026", "80", two_lines) + dmm_jan + other_case)
        << "";
    QTest::newRow("correct keeps date and cost")
        << false << 2 << "Recalibrated"
        << "" << bytes(same_day + cal("DMM-1", "10/01/2026", "60", "Recalibrated\r\n") + other_case)
        << "";
    QTest::newRow("new, though today's is on file")
        << false << -1 << "Calibrated OK\nDrift 0.1%"
        << "" << bytes(original + cal("DMM-1", "05/12/2026", "75.50", two_lines)) << "";
    QTest::newRow("new, empty result is one empty line")
        << false << -1 << ""
        << "" << bytes(original + cal("DMM-1", "05/12/2026", "75.50", "\r\n")) << "";
    QTest::newRow("end marker refused")
        << false << -1 << "Calibrated OK\n#2RESULT"
        << "" << bytes(original) << "A line of the result cannot read #2RESULT.";
    QTest::newRow("history not writable")
        << false << -1 << "Calibrated OK"
        << "block" << bytes(original) << "history.dat could not be saved.\nhistory2.dat";
    QTest::newRow("history unreadable: update refused")
        << false << -1 << "Calibrated OK"
        << "unreadable" << bytes(original)
        << "history.dat could not be read, so it has not been changed.\nhistory.dat";
    QTest::newRow("history unreadable: remove refused")
        << true << 1 << ""
        << "unreadable" << bytes(original)
        << "history.dat could not be read.\nhistory.dat|"
           "history.dat could not be read, so it has not been changed.\nhistory.dat|"
           "history.dat could not be read.\nhistory.dat";
}

void tst_HistoryTab::record_and_remove()
{
    QFETCH(bool, remove);
    QFETCH(int, entry);
    QFETCH(QString, typed);
    QFETCH(QString, blocked);
    QFETCH(QString, warning);
    WindowFixture f(register_bytes(), original);
    auto *result = f.control<QPlainTextEdit>("Text26");
    f.double_click_row(f.list_lines().indexOf("DMM-1"));
    f.show_tab(tab_history);
    // Two entries of one day read alike, so the second shows the first one's result; a
    // click on it again shows that stored result over what was typed.
    f.run("history double-click=1; Text26=typed over; history row=1");
    QCOMPARE(result->toPlainText(), QStringLiteral("First OK\nDrift 0.2%\n"));
    if (!blocked.isEmpty())
        f.run(blocked == "block" ? "block history2.dat" : "unreadable history.dat");

    if (entry < 0)
        f.click_list_row("List2", 1, Qt::ControlModifier);
    else
        f.double_click_list_row("List2", entry);
    if (remove) {
        f.click_button("Command11");
    } else {
        if (entry < 0)
            f.click_button("Command9");
        f.type_text("Text26", typed);
        Messages::queue_answer(QMessageBox::Yes);
        f.click_button("Command10");
    }

    QTEST(bytes(f.history()), "after");
    QCOMPARE(warnings_shown(), warning);
    const bool saved = !remove && warning.isEmpty();
    QCOMPARE(f.products(), register_bytes(saved));
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String("Durnmoor V1.0")));
    if (!remove && !saved) // refused or not written: the box stays open to try again
        QVERIFY(!result->isReadOnly());
    if (saved && entry >= 0) {
        f.click_text("DMM-1");
        f.click_list_row("List2", entry);
        QCOMPARE(result->toPlainText(), typed + u'\n');
    }
}

QTEST_MAIN(tst_HistoryTab)
#include "tst_history_tab.moc"
