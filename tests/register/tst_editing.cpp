// Adding, editing, saving, cancelling and deleting instruments through the main window's
// own buttons, checked on the controls and on the bytes of products.dat.
#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const QString overwrite_question = QStringLiteral("This record already exists, overwrite ?");
const QString overwrite_title = QStringLiteral("Durnmoor Duplicate Record Alert");
const QString delete_question = QStringLiteral("Delete Selected?");
const QString delete_title = QStringLiteral("Durnmoor Tool Removal Alert");
const QString edit_nothing_selected =
    QStringLiteral("To edit a Product, you must first select one (if available) from the list.");
const QString remove_nothing_selected =
    QStringLiteral("To Remove a Product, you must first select one (if available) from the list.");

// Three instruments; the second carries content in its reserved lines, as another tool
// might leave it.
product_record first_record() {
    return make_record({"A-100", "Oscilloscope"});
}
product_record second_record() {
    product_record record = make_record({"B-200", "Bench multimeter"});
    record[20] = "reserved first";
    record[30] = "lab note, kept";
    record[50] = "reserved last";
    return record;
}
product_record third_record() {
    return make_record({"C-300", "Torque wrench"});
}

// Lines for readable failures (CR kept, so a missing CR still shows), then the bytes.
QList<QByteArray> lines_of(const std::string &bytes) {
    return QByteArray::fromStdString(bytes).split('\n');
}
#define COMPARE_FILE(actual, expected)                                                             \
    do {                                                                                           \
        QCOMPARE(lines_of(actual), lines_of(expected));                                            \
        QCOMPARE(QByteArray::fromStdString(actual), QByteArray::fromStdString(expected));          \
    } while (false)

// Clicks a button as the user would. False when it is missing or disabled, so that the
// test stops at the step the user could not take.
bool press(WindowFixture &fx, const char *name) {
    auto *button = fx.control<QAbstractButton>(name);
    if (!button || !button->isEnabled())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

QLineEdit *box(WindowFixture &fx, const char *name) {
    return fx.control<QLineEdit>(name);
}

// Clicks the option's round indicator: the middle of a wide option lies beyond its caption,
// where a click does nothing.
bool choose(WindowFixture &fx, const char *name) {
    auto *option = fx.control<QRadioButton>(name);
    if (!option || !option->isEnabled())
        return false;
    const int indicator =
        option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option);
    QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier,
                      QPoint(indicator / 2 + 1, option->height() / 2));
    return option->isChecked();
}

void type_over(QLineEdit *edit, const QString &text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

int row_of(WindowFixture &fx, const QString &text) {
    const auto found = fx.list()->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? -1 : fx.list()->row(found.front());
}

int current_tab(WindowFixture &fx) {
    return fx.control<QTabWidget>("SSTab1")->currentIndex();
}
void show_tab(WindowFixture &fx, MainTab tab) {
    fx.control<QTabWidget>("SSTab1")->setCurrentIndex(tab);
}

// The ways a user opens the selected record for editing.
bool start_edit(WindowFixture &fx, const QString &how, const QString &entry) {
    const int row = row_of(fx, entry);
    if (row < 0)
        return false;
    fx.click_rows({row});
    if (how == QLatin1String("double-click")) {
        fx.double_click_row(row);
        return true;
    }
    if (how == QLatin1String("Command14"))
        show_tab(fx, tab_details);
    return press(fx, how.toLatin1().constData());
}

// What a user types into the details tab of a new instrument, and the record it makes.
struct Typed {
    const char *control;
    QString text;
    int line;
    std::string stored;
};

const std::vector<Typed> &new_instrument() {
    static const std::vector<Typed> typed{
        {"Text1", QStringLiteral("D-400"), instrument_no, "D-400"},
        {"Text2", QStringLiteral("Pressure gauge, 0-10 \"bar\""), description,
         "Pressure gauge, 0-10 \"bar\""},
        {"Text3", QStringLiteral("Store room 2"), location, "Store room 2"},
        {"Text4", QStringLiteral("Acme Calibration Ltd"), cal_company, "Acme Calibration Ltd"},
        {"Text5", QStringLiteral("45.50"), cal_cost, "45.50"},
        {"Text19", QStringLiteral("SN-77"), serial_no, "SN-77"},
        {"Text20", QStringLiteral("Norbar"), manufacturer, "Norbar"},
        {"Text23", QStringLiteral("1200"), asset_value, "1200"},
        {"Text24", QStringLiteral("Tools Direct"), purchased_from, "Tools Direct"},
        {"Text25", QStringLiteral("PO-981"), purchase_order, "PO-981"},
    };
    return typed;
}

void type_new_instrument(WindowFixture &fx) {
    for (const Typed &field : new_instrument())
        QTest::keyClicks(box(fx, field.control), field.text);
}

// The record Add + typing gives: today's date in both date lists, as the clock sets them.
product_record new_instrument_record(const std::string &mode, const std::string &state,
                                     const std::string &interval) {
    product_record record;
    for (const Typed &field : new_instrument())
        record[field.line] = field.stored;
    record[cal_mode] = mode;
    record[availability] = state;
    record[interval_months] = interval;
    record[purchase_day] = record[lastcal_day] = "05";
    record[purchase_month] = record[lastcal_month] = "December";
    record[purchase_year] = record[lastcal_year] = "2026";
    return record;
}

void verify_question(const MessageRequest &shown, const QString &text, const QString &title) {
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, QMessageBox::Information);
    QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(shown.default_button, QMessageBox::No);
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT

  private slots:
    void add_and_save_appends_data();
    void add_and_save_appends();
    void edit_same_number_overwrites_in_place_data();
    void edit_same_number_overwrites_in_place();
    void changed_number_appends_and_keeps_old();
    void answer_no_leaves_everything_data();
    void answer_no_leaves_everything();
    void number_trimmed_serial_kept_data();
    void number_trimmed_serial_kept();
    void every_record_with_the_key_is_asked_for_data();
    void every_record_with_the_key_is_asked_for();
    void nothing_selected_data();
    void nothing_selected();
    void delete_answered_no_changes_nothing();
    void delete_removes_selected_data();
    void delete_removes_selected();
    void cancel_after_add_writes_nothing();
    void without_edit_right_nothing_can_be_saved();
    void failed_save_keeps_file_and_typing_data();
    void failed_save_keeps_file_and_typing();
};

void TestEditing::add_and_save_appends_data() {
    QTest::addColumn<QString>("mode_option");
    QTest::addColumn<QString>("state_option");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QByteArray>("stored_interval");

    QTest::newRow("defaults, 12 months")
        << ""
        << ""
        << "12" << QByteArray("EXTERNAL") << QByteArray("AVAILABLE") << QByteArray(" 12 ");
    QTest::newRow("internally, obsolete")
        << "Option1"
        << "Option4"
        << "6" << QByteArray("INTERNAL") << QByteArray("OBSOLETE") << QByteArray(" 6 ");
    QTest::newRow("ref only, fraction")
        << "Option7"
        << "Option3"
        << "1.5" << QByteArray("REF ONLY") << QByteArray("AVAILABLE") << QByteArray(" 1.5 ");
    QTest::newRow("externally, negative")
        << "Option2"
        << "Option4"
        << "-3" << QByteArray("EXTERNAL") << QByteArray("OBSOLETE") << QByteArray("-3 ");
    QTest::newRow("below one") << ""
                               << ""
                               << ".5" << QByteArray("EXTERNAL") << QByteArray("AVAILABLE")
                               << QByteArray(" .5 ");
    QTest::newRow("not a number") << ""
                                  << ""
                                  << "abc" << QByteArray("EXTERNAL") << QByteArray("AVAILABLE")
                                  << QByteArray(" 0 ");
    QTest::newRow("empty interval")
        << ""
        << ""
        << "" << QByteArray("EXTERNAL") << QByteArray("AVAILABLE") << QByteArray(" 0 ");
    QTest::newRow("number then text")
        << ""
        << ""
        << "24 months" << QByteArray("EXTERNAL") << QByteArray("AVAILABLE") << QByteArray(" 24 ");
}

void TestEditing::add_and_save_appends() {
    QFETCH(QString, mode_option);
    QFETCH(QString, state_option);
    QFETCH(QString, interval);
    QFETCH(QByteArray, mode);
    QFETCH(QByteArray, state);
    QFETCH(QByteArray, stored_interval);

    const std::string before = file_of({first_record(), second_record()});
    WindowFixture fx(before);

    QVERIFY(press(fx, "Command1"));
    QCOMPARE(current_tab(fx), int(tab_details));
    type_new_instrument(fx);
    for (const QString &option : {mode_option, state_option})
        if (!option.isEmpty())
            QVERIFY(choose(fx, option.toLatin1().constData()));
    // Typing into the interval box turns its text into a number at every key; setText puts
    // in the text a record may hold (or a paste leaves) without that help, which is what
    // Save has to cope with.
    box(fx, "Text6")->setText(interval);
    QVERIFY(press(fx, "Command4"));

    QVERIFY(Messages::shown().empty());
    const product_record added = new_instrument_record(mode.toStdString(), state.toStdString(),
                                                       stored_interval.toStdString());
    // Appended at the end, its reserved lines empty though the record before it has some.
    const std::string after = fx.products();
    QCOMPARE(after.compare(0, before.size(), before), 0);
    const std::string appended = after.substr(before.size());
    QCOMPARE(QByteArray::fromStdString(appended).count("\r\n"), qsizetype(50));
    QCOMPARE(QByteArray::fromStdString(appended).count('\n'), qsizetype(50));
    COMPARE_FILE(after, before + file_of({added}));

    QCOMPARE(fx.list_lines(), QStringList({"A-100", "B-200", "D-400"}));
    for (const char *name : {"Text1", "Text2", "Text19", "Text25"}) {
        QVERIFY2(box(fx, name)->text().isEmpty(), name);
        QVERIFY2(!box(fx, name)->isEnabled(), name);
    }
    QVERIFY(!fx.control<QAbstractButton>("Command4")->isEnabled());
    QVERIFY(!fx.control<QAbstractButton>("Command1")->isEnabled());
    QVERIFY(fx.control<QAbstractButton>("Command2")->isEnabled());
}

void TestEditing::edit_same_number_overwrites_in_place_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Edit on the listing tab") << "Command13";
    QTest::newRow("Edit on the details tab") << "Command14";
    QTest::newRow("double-click") << "double-click";
}

void TestEditing::edit_same_number_overwrites_in_place() {
    QFETCH(QString, how);
    WindowFixture fx(file_of({first_record(), second_record(), third_record()}));

    QVERIFY(start_edit(fx, how, QStringLiteral("B-200")));
    QCOMPARE(current_tab(fx), int(tab_details));
    QVERIFY(fx.control<QAbstractButton>("Command4")->isEnabled());
    QVERIFY(!fx.control<QAbstractButton>("Command1")->isEnabled());

    type_over(box(fx, "Text2"), QStringLiteral("Bench multimeter, repaired"));
    type_over(box(fx, "Text19"), QStringLiteral("SN 9"));
    QVERIFY(choose(fx, "Option1"));
    Messages::queue_answer(QMessageBox::Yes);
    QVERIFY(press(fx, "Command4"));

    QCOMPARE(Messages::shown().size(), std::size_t(1));
    verify_question(Messages::shown().front(), overwrite_question, overwrite_title);

    product_record replaced = second_record(); // its own reserved lines stay
    replaced[description] = "Bench multimeter, repaired";
    replaced[serial_no] = "SN 9";
    replaced[cal_mode] = "INTERNAL";
    COMPARE_FILE(fx.products(), file_of({first_record(), replaced, third_record()}));
    QCOMPARE(fx.list_lines(), QStringList({"A-100", "B-200", "C-300"}));
    QVERIFY(box(fx, "Text1")->text().isEmpty());
    QVERIFY(!box(fx, "Text1")->isEnabled());
}

void TestEditing::changed_number_appends_and_keeps_old() {
    const std::string before = file_of({first_record(), second_record(), third_record()});
    WindowFixture fx(before);

    QVERIFY(start_edit(fx, QStringLiteral("Command13"), QStringLiteral("B-200")));
    type_over(box(fx, "Text1"), QStringLiteral("B-201"));
    QVERIFY(press(fx, "Command4"));

    QVERIFY(Messages::shown().empty());
    product_record copy = make_record({"B-201", "Bench multimeter"}); // no reserved lines
    COMPARE_FILE(fx.products(), before + file_of({copy}));
    QCOMPARE(fx.list_lines(), QStringList({"A-100", "B-200", "B-201", "C-300"}));
}

void TestEditing::answer_no_leaves_everything_data() {
    QTest::addColumn<bool>("queue_no");
    QTest::newRow("No pressed") << true;
    QTest::newRow("default button") << false;
}

void TestEditing::answer_no_leaves_everything() {
    QFETCH(bool, queue_no);
    // The second record has bare LF line ends: any rewrite at all would show as CR LF.
    std::string before = file_of({first_record()});
    for (const std::string &line : second_record().lines)
        before += line + "\n";
    WindowFixture fx(before);

    QVERIFY(start_edit(fx, QStringLiteral("Command13"), QStringLiteral("B-200")));
    type_over(box(fx, "Text2"), QStringLiteral("Changed my mind"));
    if (queue_no)
        Messages::queue_answer(QMessageBox::No);
    QVERIFY(press(fx, "Command4"));

    QCOMPARE(Messages::shown().size(), std::size_t(1));
    verify_question(Messages::shown().front(), overwrite_question, overwrite_title);
    COMPARE_FILE(fx.products(), before);
    QCOMPARE(box(fx, "Text1")->text(), QStringLiteral("B-200"));
    QCOMPARE(box(fx, "Text2")->text(), QStringLiteral("Changed my mind"));
    QVERIFY(box(fx, "Text2")->isEnabled());
    QVERIFY(fx.control<QAbstractButton>("Command4")->isEnabled());
    QCOMPARE(current_tab(fx), int(tab_details));
}

void TestEditing::number_trimmed_serial_kept_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("replaces");

    QTest::newRow("new number in blanks") << "  Q-1  " << QByteArray("Q-1") << false;
    QTest::newRow("existing number in blanks") << "  N-7  " << QByteArray("N-7") << true;
    QTest::newRow("existing number, trailing blank") << "N-7 " << QByteArray("N-7") << true;
    QTest::newRow("differs only in case") << "n-7" << QByteArray("n-7") << false;
}

void TestEditing::number_trimmed_serial_kept() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    QFETCH(bool, replaces);

    product_record existing = make_record({"N-7", "Scope"});
    existing[30] = "kept";
    WindowFixture fx(file_of({first_record(), existing}));

    QVERIFY(press(fx, "Command1"));
    QTest::keyClicks(box(fx, "Text1"), typed);
    QTest::keyClicks(box(fx, "Text2"), QStringLiteral("  Scope  "));
    QTest::keyClicks(box(fx, "Text19"), QStringLiteral("  SN 42  "));
    if (replaces)
        Messages::queue_answer(QMessageBox::Yes);
    QVERIFY(press(fx, "Command4"));

    QCOMPARE(Messages::shown().size(), std::size_t(replaces ? 1 : 0));
    product_record saved = make_record({stored.toStdString(), "Scope"});
    saved[serial_no] = "  SN 42  ";
    saved[purchase_day] = saved[lastcal_day] = "05";
    saved[purchase_month] = "December";
    saved[purchase_year] = "2026";
    if (replaces) {
        saved[30] = "kept";
        COMPARE_FILE(fx.products(), file_of({first_record(), saved}));
    } else {
        COMPARE_FILE(fx.products(), file_of({first_record(), existing, saved}));
    }
}

void TestEditing::every_record_with_the_key_is_asked_for_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("written");

    QTest::newRow("Yes, Yes") << QList<int>{QMessageBox::Yes, QMessageBox::Yes} << true;
    // No abandons the whole save, also after an earlier Yes.
    QTest::newRow("Yes, No") << QList<int>{QMessageBox::Yes, QMessageBox::No} << false;
    QTest::newRow("No") << QList<int>{QMessageBox::No} << false;
}

void TestEditing::every_record_with_the_key_is_asked_for() {
    QFETCH(QList<int>, answers);
    QFETCH(bool, written);

    product_record first = make_record({"K-1", "Multimeter"});
    first[30] = "first";
    product_record second = make_record({"K-1", "Multimeter spare"});
    second[30] = "second";
    second[lastcal_day] = "17";
    const std::string before = file_of({first, first_record(), second});
    WindowFixture fx(before);
    QCOMPARE(fx.list_lines(), QStringList({"A-100", "K-1", "K-1"}));

    QVERIFY(start_edit(fx, QStringLiteral("Command13"), QStringLiteral("K-1")));
    QCOMPARE(box(fx, "Text2")->text(), QStringLiteral("Multimeter")); // the first in file order
    type_over(box(fx, "Text2"), QStringLiteral("Multimeter, both"));
    for (const int answer : answers)
        Messages::queue_answer(static_cast<QMessageBox::StandardButton>(answer));
    QVERIFY(press(fx, "Command4"));

    QCOMPARE(Messages::shown().size(), std::size_t(answers.size()));
    for (const MessageRequest &shown : Messages::shown())
        verify_question(shown, overwrite_question, overwrite_title);
    if (!written) {
        COMPARE_FILE(fx.products(), before);
        return;
    }
    product_record new_first = first;
    new_first[description] = "Multimeter, both";
    product_record new_second = new_first;
    new_second[30] = "second";
    COMPARE_FILE(fx.products(), file_of({new_first, first_record(), new_second}));
}

void TestEditing::nothing_selected_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("empty_register");
    QTest::addColumn<QString>("message");

    QTest::newRow("Edit, empty list") << "Command13" << true << edit_nothing_selected;
    QTest::newRow("Edit, none selected") << "Command13" << false << edit_nothing_selected;
    QTest::newRow("details Edit, none selected") << "Command14" << false << edit_nothing_selected;
    QTest::newRow("Delete, empty list") << "Command3" << true << remove_nothing_selected;
    QTest::newRow("Delete, none selected") << "Command3" << false << remove_nothing_selected;
}

void TestEditing::nothing_selected() {
    QFETCH(QString, button);
    QFETCH(bool, empty_register);
    QFETCH(QString, message);

    const std::string before =
        empty_register ? std::string() : file_of({first_record(), second_record()});
    WindowFixture fx(before);
    if (button == QLatin1String("Command14"))
        show_tab(fx, tab_details);
    const int tab = current_tab(fx);

    QVERIFY(press(fx, button.toLatin1().constData()));

    QCOMPARE(Messages::shown().size(), std::size_t(1));
    const MessageRequest &shown = Messages::shown().front();
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.title, QStringLiteral("Durnmoor"));
    QCOMPARE(shown.icon, QMessageBox::Information);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    COMPARE_FILE(fx.products(), before);
    QCOMPARE(current_tab(fx), tab);
    QVERIFY(!fx.control<QAbstractButton>("Command4")->isEnabled());
    QVERIFY(!box(fx, "Text1")->isEnabled());
}

void TestEditing::delete_answered_no_changes_nothing() {
    const std::string before = file_of({first_record(), second_record(), third_record()});
    WindowFixture fx(before);
    fx.click_text(QStringLiteral("B-200"));

    QVERIFY(press(fx, "Command3")); // no answer queued: the default button decides

    QCOMPARE(Messages::shown().size(), std::size_t(1));
    verify_question(Messages::shown().front(), delete_question, delete_title);
    COMPARE_FILE(fx.products(), before);
    QCOMPARE(fx.list_lines(), QStringList({"A-100", "B-200", "C-300"}));
}

void TestEditing::delete_removes_selected_data() {
    QTest::addColumn<bool>("by_description");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QList<int>>("kept");
    QTest::addColumn<QStringList>("listed");

    // Records: 0 A-100 Multimeter, 1 B-200 Scope, 2 C-300 Multimeter, 3 D-400 Gauge,
    // 4 E-500 Torque wrench.
    QTest::newRow("one by number") << false << QStringList{"B-200"} << QList<int>{0, 2, 3, 4}
                                   << QStringList{"A-100", "C-300", "D-400", "E-500"};
    QTest::newRow("shared description") << true << QStringList{"Multimeter"} << QList<int>{1, 3, 4}
                                        << QStringList{"Gauge", "Scope", "Torque wrench"};
    QTest::newRow("three selected") << false << QStringList{"A-100", "C-300", "E-500"}
                                    << QList<int>{1, 3} << QStringList{"B-200", "D-400"};
}

void TestEditing::delete_removes_selected() {
    QFETCH(bool, by_description);
    QFETCH(QStringList, selected);
    QFETCH(QList<int>, kept);
    QFETCH(QStringList, listed);

    std::vector<product_record> records{
        make_record({"A-100", "Multimeter"}), make_record({"B-200", "Scope"}),
        make_record({"C-300", "Multimeter"}), make_record({"D-400", "Gauge"}),
        make_record({"E-500", "Torque wrench"})};
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i][30] = "note " + std::to_string(i);
    WindowFixture fx(file_of(records));
    if (by_description)
        QVERIFY(choose(fx, "Option6"));

    std::vector<int> rows;
    for (const QString &text : selected)
        rows.push_back(row_of(fx, text));
    fx.click_rows(rows);
    QCOMPARE(fx.list()->selectedItems().size(), selected.size());
    Messages::queue_answer(QMessageBox::Yes);
    QVERIFY(press(fx, "Command3"));

    QCOMPARE(Messages::shown().size(), std::size_t(1));
    verify_question(Messages::shown().front(), delete_question, delete_title);
    std::vector<product_record> left;
    for (const int i : kept)
        left.push_back(records[static_cast<std::size_t>(i)]);
    COMPARE_FILE(fx.products(), file_of(left));
    QCOMPARE(fx.list_lines(), listed);
    QVERIFY(fx.control<QAbstractButton>("Command1")->isEnabled());
    QVERIFY(!fx.control<QAbstractButton>("Command4")->isEnabled());
}

void TestEditing::cancel_after_add_writes_nothing() {
    const std::string before = file_of({first_record()});
    WindowFixture fx(before);

    QVERIFY(press(fx, "Command1"));
    QVERIFY(!fx.control<QAbstractButton>("Command1")->isEnabled());
    type_new_instrument(fx);
    QVERIFY(press(fx, "Command2"));

    COMPARE_FILE(fx.products(), before);
    QVERIFY(!fx.env.exists(QStringLiteral("products2.dat")));
    QVERIFY(Messages::shown().empty());
    QVERIFY(fx.control<QAbstractButton>("Command1")->isEnabled());
    QVERIFY(!fx.control<QAbstractButton>("Command4")->isEnabled());
    QVERIFY(box(fx, "Text1")->text().isEmpty());
    QVERIFY(!box(fx, "Text1")->isEnabled());
    QCOMPARE(fx.list_lines(), QStringList({"A-100"}));
    QCOMPARE(current_tab(fx), int(tab_details));
}

void TestEditing::without_edit_right_nothing_can_be_saved() {
    const std::string before = file_of({first_record(), second_record()});
    WindowFixture fx(before);
    fx.window->state().set_right(3, QStringLiteral("0"));
    auto *full_listing = fx.control<QAction>("fulllist");
    QVERIFY(full_listing && full_listing->isEnabled());
    full_listing->trigger(); // runs enableform under the new rights

    for (const char *name :
         {"Command1", "Command13", "Command14", "Command3", "Command2", "Command4"})
        QVERIFY2(!fx.control<QAbstractButton>(name)->isEnabled(), name);

    fx.double_click_row(row_of(fx, QStringLiteral("B-200")));
    QCOMPARE(current_tab(fx), int(tab_details));
    QCOMPARE(box(fx, "Text1")->text(), QStringLiteral("B-200"));
    QVERIFY(!box(fx, "Text1")->isEnabled());
    QVERIFY(!fx.control<QAbstractButton>("Command4")->isEnabled());
    QVERIFY(!fx.control<QAbstractButton>("Command1")->isEnabled());
    COMPARE_FILE(fx.products(), before);
}

void TestEditing::failed_save_keeps_file_and_typing_data() {
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("new record") << false;
    QTest::newRow("overwrite") << true;
}

void TestEditing::failed_save_keeps_file_and_typing() {
    QFETCH(bool, overwrite);
    const std::string before = file_of({first_record(), second_record()});
    WindowFixture fx(before);
    // A directory in the twin's place: the twin cannot be opened for writing, even by root.
    QVERIFY(QDir(fx.env.dir()).mkdir(QStringLiteral("products2.dat")));

    if (overwrite) {
        QVERIFY(start_edit(fx, QStringLiteral("Command13"), QStringLiteral("B-200")));
        Messages::queue_answer(QMessageBox::Yes);
    } else {
        QVERIFY(press(fx, "Command1"));
        QTest::keyClicks(box(fx, "Text1"), QStringLiteral("D-400"));
    }
    type_over(box(fx, "Text2"), QStringLiteral("Typed before the failure"));
    QVERIFY(press(fx, "Command4"));

    COMPARE_FILE(fx.products(), before);
    QCOMPARE(Messages::shown().size(), std::size_t(overwrite ? 2 : 1));
    const MessageRequest &failure = Messages::shown().back();
    QCOMPARE(failure.title, QStringLiteral("Durnmoor"));
    QCOMPARE(failure.icon, QMessageBox::Warning);
    QVERIFY2(failure.text.contains(QLatin1String("products2.dat")), qPrintable(failure.text));

    QCOMPARE(box(fx, "Text1")->text(),
             overwrite ? QStringLiteral("B-200") : QStringLiteral("D-400"));
    QCOMPARE(box(fx, "Text2")->text(), QStringLiteral("Typed before the failure"));
    QVERIFY(box(fx, "Text2")->isEnabled());
    QVERIFY(fx.control<QAbstractButton>("Command4")->isEnabled()); // the user may try again
    QCOMPARE(fx.list_lines(), QStringList({"A-100", "B-200"}));
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
