// The "Product Calibration History" tab driven through the main window's own controls:
// what it shows for an instrument, and what recording, correcting and removing a
// calibration do to history.dat and products.dat.
#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace durnmoor;
using durnmoor::test::crlf_lines;
using durnmoor::test::file_of;
using durnmoor::test::make_record;
using durnmoor::test::RecordSpec;
using durnmoor::test::WindowFixture;

namespace {

constexpr char normal_caption_start[] = "Durnmoor V1.0";
constexpr char updating_caption[] = "Updating Result Database... Just a Moment...";
constexpr char overwrite_question[] = "This record already exists, overwrite ?";

// One calibration as history.dat holds it.
std::string calibration(const std::string &no, const std::string &date, const std::string &cost,
                        std::initializer_list<std::string> result)
{
    std::string out = crlf_lines({no, date, cost, "#1RESULT"});
    for (const std::string &line : result)
        out += line + "\r\n";
    return out + "#2RESULT\r\n";
}

std::string to_std(const QByteArray &bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

product_record multimeter()
{
    return make_record({.number = "DMM-1",
                        .description = "Bench multimeter",
                        .day = "10",
                        .month = "January",
                        .year = "2026",
                        .cost = "75.50"});
}

product_record power_supply()
{
    return make_record({.number = "PSU-2",
                        .description = "Power supply",
                        .day = "1",
                        .month = "June",
                        .year = "2026",
                        .cost = "30"});
}

std::string register_bytes() { return file_of({multimeter(), power_supply()}); }

// The register after the multimeter was saved with today as its last-calibrated date.
std::string register_calibrated_today()
{
    product_record calibrated = multimeter();
    calibrated[lastcal_day] = "05";
    calibrated[lastcal_month] = "December";
    calibrated[lastcal_year] = "2026";
    return file_of({calibrated, power_supply()});
}

QStringList titles_of(const QSignalSpy &spy)
{
    QStringList titles;
    for (const QList<QVariant> &signal : spy)
        titles << signal.at(0).toString();
    return titles;
}

class HistoryTab {
public:
    explicit HistoryTab(WindowFixture &f) : f(f) {}

    QListWidget *entries() const { return f.control<QListWidget>("List2"); }
    QPlainTextEdit *result() const { return f.control<QPlainTextEdit>("Text26"); }
    QString field(const char *name) const { return f.control<QLineEdit>(name)->text(); }
    QPushButton *button(const char *name) const { return f.control<QPushButton>(name); }

    // A click on the instrument in the list, then the history tab brought to the front.
    void open(const QString &instrument)
    {
        f.click_text(instrument);
        f.show_tab(tab_history);
    }

    // A double-click on the instrument opens it for editing, which is what lets
    // "Item has now been calibrated" be pressed.
    void open_for_editing(const QString &instrument)
    {
        f.click_text(instrument);
        const auto found = f.list()->findItems(instrument, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        f.double_click_row(f.list()->row(found.front()));
        f.show_tab(tab_history);
    }

    void click_entry(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        f.click_list_row("List2", row, modifiers);
    }
    void double_click_entry(int row) { f.double_click_list_row("List2", row); }

    // Replaces the whole result box by these lines, as typed.
    void type_result(const QStringList &lines)
    {
        QPlainTextEdit *box = result();
        QTest::mouseClick(box->viewport(), Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(box, Qt::Key_Return);
            QTest::keyClicks(box, lines[i]);
        }
    }

    void press(const char *name)
    {
        QPushButton *b = button(name);
        QVERIFY2(b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    WindowFixture &f;
};

int questions_asked(const QString &text)
{
    int n = 0;
    for (const MessageRequest &request : Messages::shown())
        if (request.text == text)
            ++n;
    return n;
}

} // namespace

class tst_HistoryTab : public QObject {
    Q_OBJECT

private slots:
    void history_of_selected_instrument_data();
    void history_of_selected_instrument();
    void same_day_entry_shows_first_result_data();
    void same_day_entry_shows_first_result();
    void remove_takes_every_record_of_that_day();
    void correct_changes_every_record_of_that_day();
    void new_calibration_is_appended_data();
    void new_calibration_is_appended();
    void correct_selected_entry_keeps_date_and_cost_data();
    void correct_selected_entry_keeps_date_and_cost();
    void result_round_trips_data();
    void result_round_trips();
    void result_with_end_marker_refused_data();
    void result_with_end_marker_refused();
    void remove_without_selected_entry_warns();
    void history_not_writable_data();
    void history_not_writable();
};

void tst_HistoryTab::history_of_selected_instrument_data()
{
    QTest::addColumn<QByteArray>("history");
    QTest::addColumn<bool>("by_description");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("average");

    const std::string three = calibration("DMM-1", "05/12/2026", "100", {"ok"}) +
                              calibration("PSU-2", "01/06/2026", "999", {"psu"}) +
                              calibration("DMM-1", "10/01/2026", "100", {"ok"}) +
                              calibration("DMM-1", "02/03/2025", "50", {"ok"});
    const QStringList three_entries{"Saturday Dec 5 2026", "Saturday Jan 10 2026",
                                    "Sunday Mar 2 2025"};
    QTest::newRow("three calibrations, file order")
        << QByteArray::fromStdString(three) << false << three_entries << "3" << "250.00"
        << "83.3333";
    QTest::newRow("listed by description")
        << QByteArray::fromStdString(three) << true << three_entries << "3" << "250.00"
        << "83.3333";
    QTest::newRow("only other instruments")
        << QByteArray::fromStdString(calibration("PSU-2", "01/06/2026", "999", {"psu"})) << false
        << QStringList{} << "0" << "0.00" << "";
    QTest::newRow("no history file") << QByteArray() << false << QStringList{} << "0" << "0.00"
                                     << "";
    QTest::newRow("number equal but for case or blanks")
        << QByteArray::fromStdString(calibration("dmm-1", "05/12/2026", "100", {"x"}) +
                                     calibration("DMM-1 ", "05/12/2026", "100", {"x"}) +
                                     calibration(" DMM-1", "05/12/2026", "100", {"x"}) +
                                     calibration("DMM-1", "14/06/2025", "40", {"x"}))
        << false << QStringList{"Saturday Jun 14 2025"} << "1" << "40.00" << "40.00";
    QTest::newRow("cost that is no number is counted, not added")
        << QByteArray::fromStdString(calibration("DMM-1", "05/12/2026", "100", {"x"}) +
                                     calibration("DMM-1", "14/06/2025", "n/a", {"x"}))
        << false << QStringList{"Saturday Dec 5 2026", "Saturday Jun 14 2025"} << "2" << "100.00"
        << "50.00";
    QTest::newRow("group without start marker passed over")
        << QByteArray::fromStdString(crlf_lines({"DMM-1", "01/01/2026", "10", "no marker"}) +
                                     calibration("DMM-1", "14/06/2025", "20", {"x"}))
        << false << QStringList{"Saturday Jun 14 2025"} << "1" << "20.00" << "20.00";
}

void tst_HistoryTab::history_of_selected_instrument()
{
    QFETCH(QByteArray, history);
    QFETCH(bool, by_description);
    QFETCH(QStringList, entries);

    WindowFixture f(register_bytes(), to_std(history));
    HistoryTab tab(f);
    if (by_description) {
        f.click_option("Option6");
        QVERIFY(f.control<QRadioButton>("Option6")->isChecked());
        QCOMPARE(f.list_lines(), (QStringList{"Bench multimeter", "Power supply"}));
    }
    tab.open(by_description ? QStringLiteral("Bench multimeter") : QStringLiteral("DMM-1"));

    QCOMPARE(tab.field("Text22"), QStringLiteral("DMM-1"));
    QCOMPARE(f.lines_of("List2"), entries);
    QTEST(tab.field("Text29"), "count");
    QTEST(tab.field("Text28"), "total");
    QTEST(tab.field("Text27"), "average");
    QVERIFY(f.env.exists(QStringLiteral("history.dat")));
    QCOMPARE(f.history(), to_std(history));
}

void tst_HistoryTab::same_day_entry_shows_first_result_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("first entry") << 0;
    QTest::newRow("second entry") << 1;
}

void tst_HistoryTab::same_day_entry_shows_first_result()
{
    QFETCH(int, row);
    WindowFixture f(register_bytes(),
                    calibration("DMM-1", "05/12/2026", "100", {"First OK", "Drift 0.1%"}) +
                        calibration("PSU-2", "05/12/2026", "30", {"psu"}) +
                        calibration("DMM-1", "05/12/2026", "80", {"Second"}));
    HistoryTab tab(f);
    tab.open(QStringLiteral("DMM-1"));
    QCOMPARE(f.lines_of("List2"),
             (QStringList{"Saturday Dec 5 2026", "Saturday Dec 5 2026"}));

    tab.click_entry(row);
    QCOMPARE(tab.result()->toPlainText(), QStringLiteral("First OK\nDrift 0.1%\n"));
    QVERIFY(tab.button("Command11")->isEnabled());
    QVERIFY(tab.result()->isReadOnly());
}

void tst_HistoryTab::remove_takes_every_record_of_that_day()
{
    // Other instruments' records carry bytes that are no text in the local encoding: a
    // rewrite must copy them, not re-encode them.
    const std::string before = calibration("PSU-2", "03/03/2026", "30", {"Ripple 2 \xB5V"});
    const std::string between = calibration("PSU-2", "05/12/2026", "31", {"psu", ""});
    const std::string kept = calibration("DMM-1", "10/01/2026", "60", {"January"});
    const std::string after = calibration("dmm-1", "05/12/2026", "5", {"other case"});
    WindowFixture f(register_bytes(),
                    before + calibration("DMM-1", "05/12/2026", "100", {"first"}) + between +
                        calibration("DMM-1", "05/12/2026", "80", {"second"}) + kept + after);
    HistoryTab tab(f);
    tab.open(QStringLiteral("DMM-1"));
    QCOMPARE(f.lines_of("List2"), (QStringList{"Saturday Dec 5 2026", "Saturday Dec 5 2026",
                                               "Saturday Jan 10 2026"}));

    tab.click_entry(1);
    QSignalSpy titles(f.window.get(), &QWidget::windowTitleChanged);
    tab.press("Command11");

    QCOMPARE(f.history(), before + between + kept + after);
    QVERIFY(Messages::shown().empty());
    QCOMPARE(f.lines_of("List2"), QStringList{"Saturday Jan 10 2026"});
    QCOMPARE(tab.field("Text22"), QStringLiteral("DMM-1"));
    QCOMPARE(tab.field("Text29"), QStringLiteral("1"));
    QCOMPARE(tab.field("Text28"), QStringLiteral("60.00"));
    QCOMPARE(tab.field("Text27"), QStringLiteral("60.00"));
    QVERIFY(!tab.button("Command11")->isEnabled());
    QVERIFY(!tab.button("Command10")->isEnabled());
    QVERIFY(titles_of(titles).contains(QString::fromLatin1(updating_caption)));
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));
    QCOMPARE(f.products(), register_bytes());
}

void tst_HistoryTab::correct_changes_every_record_of_that_day()
{
    const std::string before = calibration("PSU-2", "03/03/2026", "30", {"Ripple 2 \xB5V"});
    const std::string between = calibration("PSU-2", "05/12/2026", "31", {"psu"});
    const std::string other_day = calibration("DMM-1", "10/01/2026", "60", {"January"});
    WindowFixture f(register_bytes(),
                    before + calibration("DMM-1", "05/12/2026", "100", {"first", "line two"}) +
                        between + calibration("DMM-1", "05/12/2026", "80", {"second"}) +
                        other_day);
    HistoryTab tab(f);
    tab.open(QStringLiteral("DMM-1"));
    tab.double_click_entry(0);
    QVERIFY(!tab.result()->isReadOnly());
    tab.type_result({QStringLiteral("Recalibrated")});

    Messages::queue_answer(QMessageBox::Yes);
    QSignalSpy titles(f.window.get(), &QWidget::windowTitleChanged);
    tab.press("Command10");

    QCOMPARE(f.history(), before + calibration("DMM-1", "05/12/2026", "100", {"Recalibrated"}) +
                              between + calibration("DMM-1", "05/12/2026", "80", {"Recalibrated"}) +
                              other_day);
    QCOMPARE(f.products(), register_calibrated_today());
    QCOMPARE(questions_asked(QString::fromLatin1(overwrite_question)), 1);
    QVERIFY(titles_of(titles).contains(QString::fromLatin1(updating_caption)));
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));
    QVERIFY(!tab.button("Command10")->isEnabled());
    QCOMPARE(tab.result()->toPlainText(), QString());
}

void tst_HistoryTab::new_calibration_is_appended_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("save_answered_yes");
    QTest::addColumn<QByteArray>("result_lines");

    QTest::newRow("saved") << QStringList{"Calibrated OK"} << true
                           << QByteArray("Calibrated OK\r\n");
    QTest::newRow("save declined") << QStringList{"Calibrated OK"} << false
                                   << QByteArray("Calibrated OK\r\n");
    QTest::newRow("blanks around the text go")
        << QStringList{"  ", "  Within tolerance  ", ""} << true << QByteArray("Within tolerance\r\n");
    QTest::newRow("empty result is one empty line") << QStringList{} << true << QByteArray("\r\n");
}

void tst_HistoryTab::new_calibration_is_appended()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, save_answered_yes);
    QFETCH(QByteArray, result_lines);

    // A calibration for today is already on file: a new one is still a new record.
    const std::string history = calibration("DMM-1", "05/12/2026", "75.50", {"morning"}) +
                                calibration("PSU-2", "02/12/2026", "30", {"psu"});
    WindowFixture f(register_bytes(), history);
    HistoryTab tab(f);
    tab.open_for_editing(QStringLiteral("DMM-1"));
    QCOMPARE(f.lines_of("List2"), QStringList{"Saturday Dec 5 2026"});
    tab.press("Command9");
    QVERIFY(!tab.button("Command9")->isEnabled());
    QVERIFY(tab.button("Command10")->isEnabled());
    QVERIFY(!tab.result()->isReadOnly());
    tab.type_result(typed);

    if (save_answered_yes)
        Messages::queue_answer(QMessageBox::Yes);
    QSignalSpy titles(f.window.get(), &QWidget::windowTitleChanged);
    tab.press("Command10");

    // The calibration is recorded before the instrument is saved, so declining the save
    // keeps the record and leaves the register as it was.
    QCOMPARE(f.history(), history + crlf_lines({"DMM-1", "05/12/2026", "75.50", "#1RESULT"}) +
                              to_std(result_lines) + "#2RESULT\r\n");
    QCOMPARE(f.products(), save_answered_yes ? register_calibrated_today() : register_bytes());
    QCOMPARE(questions_asked(QString::fromLatin1(overwrite_question)), 1);
    QVERIFY(titles_of(titles).contains(QString::fromLatin1(updating_caption)));
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));
    QVERIFY(!tab.button("Command10")->isEnabled());
    QVERIFY(tab.result()->isReadOnly());
    QCOMPARE(tab.result()->toPlainText(), QString());
    if (!save_answered_yes) {
        // Nothing reloaded the window: the new entry stands after the old one of the same day.
        QCOMPARE(f.lines_of("List2"),
                 (QStringList{"Saturday Dec 5 2026", "Saturday Dec 5 2026"}));
    }
    QCOMPARE(f.control<QComboBox>("Combo1")->currentText(), QStringLiteral("05"));
    QCOMPARE(f.control<QComboBox>("Combo5")->currentText(), QStringLiteral("December"));
    QCOMPARE(f.control<QComboBox>("Combo6")->currentText(), QStringLiteral("2026"));
}

void tst_HistoryTab::correct_selected_entry_keeps_date_and_cost_data()
{
    QTest::addColumn<bool>("through_now_calibrated");
    QTest::newRow("entry double-clicked") << false;
    QTest::newRow("entry clicked, then now calibrated") << true;
}

void tst_HistoryTab::correct_selected_entry_keeps_date_and_cost()
{
    QFETCH(bool, through_now_calibrated);
    const std::string psu = calibration("PSU-2", "02/12/2026", "30", {"psu"});
    WindowFixture f(register_bytes(),
                    calibration("DMM-1", "10/01/2026", "60", {"old result"}) + psu);
    HistoryTab tab(f);
    if (through_now_calibrated) {
        tab.open_for_editing(QStringLiteral("DMM-1"));
        tab.click_entry(0);
        QCOMPARE(tab.result()->toPlainText(), QStringLiteral("old result\n"));
        tab.press("Command9");
    } else {
        tab.open(QStringLiteral("DMM-1"));
        tab.double_click_entry(0);
    }
    QCOMPARE(tab.result()->toPlainText(), QStringLiteral("old result\n"));
    tab.type_result({QStringLiteral("new result")});
    Messages::queue_answer(QMessageBox::Yes);
    tab.press("Command10");

    QCOMPARE(f.history(), calibration("DMM-1", "10/01/2026", "60", {"new result"}) + psu);
    QCOMPARE(f.control<QComboBox>("Combo1")->currentText(), QStringLiteral("05"));
    QCOMPARE(f.control<QComboBox>("Combo5")->currentText(), QStringLiteral("December"));
    QCOMPARE(f.control<QComboBox>("Combo6")->currentText(), QStringLiteral("2026"));
    QCOMPARE(f.products(), register_calibrated_today());
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));
}

void tst_HistoryTab::result_round_trips_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("two lines") << QStringList{"Calibrated OK", "Drift 0.1%"}
                               << QStringLiteral("Calibrated OK\nDrift 0.1%\n");
    QTest::newRow("empty line inside kept")
        << QStringList{"Calibrated OK", "", "Drift 0.1%"}
        << QStringLiteral("Calibrated OK\n\nDrift 0.1%\n");
    QTest::newRow("lines that only resemble the markers")
        << QStringList{"#1RESULT", "#2result", " #2RESULT", "#2RESULTS"}
        << QStringLiteral("#1RESULT\n#2result\n #2RESULT\n#2RESULTS\n");
}

void tst_HistoryTab::result_round_trips()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, shown);
    const std::string psu = calibration("PSU-2", "02/12/2026", "30", {"psu"});
    WindowFixture f(register_bytes(), psu);
    HistoryTab tab(f);
    tab.open_for_editing(QStringLiteral("DMM-1"));
    tab.press("Command9");
    tab.type_result(typed);
    Messages::queue_answer(QMessageBox::Yes);
    tab.press("Command10");

    std::string stored = crlf_lines({"DMM-1", "05/12/2026", "75.50", "#1RESULT"});
    for (const QString &line : typed)
        stored += line.toStdString() + "\r\n";
    stored += "#2RESULT\r\n";
    QCOMPARE(f.history(), psu + stored);

    tab.open(QStringLiteral("DMM-1"));
    QCOMPARE(f.lines_of("List2"), QStringList{"Saturday Dec 5 2026"});
    tab.click_entry(0);
    QCOMPARE(tab.result()->toPlainText(), shown);

    // Storing what was read back, unchanged, changes nothing.
    tab.double_click_entry(0);
    Messages::queue_answer(QMessageBox::Yes);
    tab.press("Command10");
    QCOMPARE(f.history(), psu + stored);
    QCOMPARE(f.products(), register_calibrated_today());
}

void tst_HistoryTab::result_with_end_marker_refused_data()
{
    QTest::addColumn<bool>("correcting");
    QTest::addColumn<QStringList>("typed");

    QTest::newRow("new, marker alone") << false << QStringList{"#2RESULT"};
    QTest::newRow("new, marker between lines")
        << false << QStringList{"Calibrated OK", "#2RESULT", "Drift 0.1%"};
    QTest::newRow("correcting, marker last with blanks after")
        << true << QStringList{"Calibrated OK", "#2RESULT  "};
}

void tst_HistoryTab::result_with_end_marker_refused()
{
    QFETCH(bool, correcting);
    QFETCH(QStringList, typed);
    const std::string history = calibration("DMM-1", "10/01/2026", "60", {"old result"}) +
                                calibration("PSU-2", "02/12/2026", "30", {"psu"});
    WindowFixture f(register_bytes(), history);
    HistoryTab tab(f);
    if (correcting) {
        tab.open(QStringLiteral("DMM-1"));
        tab.double_click_entry(0);
    } else {
        tab.open_for_editing(QStringLiteral("DMM-1"));
        tab.press("Command9");
    }
    tab.type_result(typed);
    tab.press("Command10");

    QCOMPARE(Messages::shown().size(), std::size_t(1));
    const MessageRequest &refusal = Messages::shown().front();
    QCOMPARE(refusal.text, QStringLiteral("A line of the result cannot read #2RESULT."));
    QCOMPARE(refusal.title, QStringLiteral("Durnmoor"));
    QCOMPARE(refusal.icon, QMessageBox::Warning);
    QCOMPARE(f.history(), history);
    QCOMPARE(f.products(), register_bytes());
    QVERIFY(!tab.result()->isReadOnly());
    QCOMPARE(tab.result()->toPlainText(), typed.join(u'\n'));
    QVERIFY(tab.button("Command10")->isEnabled());
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));

    // The box is still open, so the user can mend the text and store it.
    tab.type_result({QStringLiteral("Calibrated OK")});
    Messages::queue_answer(QMessageBox::Yes);
    tab.press("Command10");
    const std::string mended =
        correcting ? calibration("DMM-1", "10/01/2026", "60", {"Calibrated OK"}) +
                         calibration("PSU-2", "02/12/2026", "30", {"psu"})
                   : history + calibration("DMM-1", "05/12/2026", "75.50", {"Calibrated OK"});
    QCOMPARE(f.history(), mended);
    QCOMPARE(f.products(), register_calibrated_today());
}

void tst_HistoryTab::remove_without_selected_entry_warns()
{
    const std::string history = calibration("DMM-1", "10/01/2026", "60", {"old result"}) +
                                calibration("PSU-2", "02/12/2026", "30", {"psu"});
    WindowFixture f(register_bytes(), history);
    HistoryTab tab(f);
    tab.open(QStringLiteral("DMM-1"));
    tab.click_entry(0);
    // A ctrl-click takes the selection away again and leaves the button as it was.
    tab.click_entry(0, Qt::ControlModifier);
    QVERIFY(tab.entries()->selectedItems().isEmpty());
    tab.press("Command11");

    QCOMPARE(Messages::shown().size(), std::size_t(1));
    const MessageRequest &warning = Messages::shown().front();
    QCOMPARE(warning.text, QStringLiteral("You have to select a calibration-date from the "
                                          "history-list to remove it!"));
    QCOMPARE(warning.title, QStringLiteral("Durnmoor"));
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QCOMPARE(warning.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(f.history(), history);
    QCOMPARE(f.lines_of("List2"), QStringList{"Saturday Jan 10 2026"});
}

void tst_HistoryTab::history_not_writable_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("new calibration") << "new";
    QTest::newRow("correcting") << "correct";
    QTest::newRow("removing") << "remove";
}

// When history.dat cannot be rewritten the calibration is not recorded, so the instrument
// must keep its old last-calibrated date too.
void tst_HistoryTab::history_not_writable()
{
    QFETCH(QString, operation);
    const std::string history = calibration("DMM-1", "10/01/2026", "60", {"old result"}) +
                                calibration("PSU-2", "02/12/2026", "30", {"psu"});
    WindowFixture f(register_bytes(), history);
    // A directory in the twin's place makes every rewrite fail before history.dat is touched.
    QVERIFY(QDir(f.env.dir()).mkdir(QStringLiteral("history2.dat")));
    HistoryTab tab(f);
    if (operation == QLatin1String("new")) {
        tab.open_for_editing(QStringLiteral("DMM-1"));
        tab.press("Command9");
    } else {
        tab.open(QStringLiteral("DMM-1"));
        tab.double_click_entry(0);
    }
    if (operation == QLatin1String("remove")) {
        tab.press("Command11");
    } else {
        tab.type_result({QStringLiteral("Calibrated OK")});
        Messages::queue_answer(QMessageBox::Yes);
        tab.press("Command10");
    }

    QCOMPARE(f.history(), history);
    QCOMPARE(f.products(), register_bytes());
    QCOMPARE(questions_asked(QString::fromLatin1(overwrite_question)), 0);
    QCOMPARE(Messages::shown().size(), std::size_t(1));
    const MessageRequest &failure = Messages::shown().front();
    QVERIFY2(failure.text.contains(QLatin1String("history")) &&
                 failure.text.contains(QLatin1String("could not be written")),
             qPrintable(failure.text));
    QCOMPARE(failure.title, QStringLiteral("Durnmoor"));
    QCOMPARE(failure.icon, QMessageBox::Warning);
    QCOMPARE(f.lines_of("List2"), QStringList{"Saturday Jan 10 2026"});
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));
}

QTEST_MAIN(tst_HistoryTab)
#include "tst_history_tab.moc"
