// The editing of instruments through the main window's own buttons: adding, editing, saving,
// cancelling and deleting, checked on the bytes of products.dat, the questions asked, the
// list and the form.
#include "register_questions.h"
#include "store/data_file.h"
#include "support/window_fixture.h"

#include <QScopeGuard>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Notes in line 30 and in B-200's first and last reserved lines, as other tools leave them.
// Availability and mode are written in every case the file may hold them.
const std::vector<product_record> r{
    with(make_record({"A-100", "Multimeter", "UNKNOWN"}), {{30, "note 0"}}),
    with(make_record({"B-200", "Scope"}), {{20, "reserved first"}, {30, "note 1"}, {50, "last"}}),
    with(make_record(
             {"C-300", "Multimeter", "available", " 12 ", "5", "December", "2026", "internal"}),
         {{30, "note 2"}}),
    with(make_record({"D-400", "gauge", "OBSOLETE"}), {{30, "note 3"}}),
    with(make_record({"K-1", "Probe"}), {{30, "note 4"}}),
    with(make_record({"K-1", "Probe spare", "Obsolete"}), {{30, "note 5"}})};
const std::string before = file_of(r);

// What Add puts into the entry fields: the defaults, and today as the purchase date (lines 9 to
// 11) and the last calibration.
const product_record blank =
    with(make_record({.day = "05"}), {{9, "05"}, {10, "December"}, {11, "2026"}});

} // namespace

class TestEditing : public QObject {
    Q_OBJECT

private slots:
    void scenario_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("form"); // the tab, Text1|Text2| and the enabled controls
        const QString numbers = "A-100, B-200, C-300, D-400, K-1, K-1";
        // Saved: the form blank and closed, and "&Add New Product" ready for the next one.
        const QString saved = "details: || Command1 Command2 Command3 Command13 Command14";
        const QString entering =
            "details: %1| Text1 Command2 Command3 Command4 Command13 Command14";
        const QString closed = "%1: %2| Command1 Command2 Command3 Command13 Command14";
        const QString open = "listing: || Text1 Command1 Command2 Command3 Command13 Command14";
        // The edit or delete refused for want of a selection, or for a file that cannot be read.
        const QString nothing = "Information \"Durnmoor\": To %1 a Product, you must first select "
                                "one (if available) from the list. (Ok, default Ok)";
        const QString unread = "Warning naming products.dat";
        const auto row = [&](const char *name, const QString &steps, const std::string &file,
                             const QStringList &messages, const QString &listed,
                             const QString &form) {
            QTest::newRow(name) << steps << file << messages << listed << form;
        };
        const auto appended = [](const product_record &record) {
            return before + file_of({record});
        };
        // In the first row each typed text is the number of the record line it belongs in; the
        // dates shown before Add give way to today's.
        // clang-format off
        row("add: every field to its line, internal, obsolete, fraction",
            "row=1; Command1; Text1=N-9; Text2=2; Text3=3; Text4=4; Text5=5; Text19=15; Text20=16; "
            "Text23=17; Text24=18; Text25=19; Option1; Option4; paste Text6=1.5; Command4",
            appended(with(blank, {{1, "N-9"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}, {15, "15"},
                {16, "16"}, {17, "17"}, {18, "18"}, {19, "19"}, {cal_mode, "INTERNAL"},
                {availability, "OBSOLETE"}, {interval_months, " 1.5 "}})), {}, numbers + ", N-9", saved);
        row("add: number trimmed, serial kept, ref only, negative",
            "Command1; Text1=  Q-1  ; Text19=  SN 9  ; Option7; paste Text6=-3; Command4",
            appended(with(blank, {{1, "Q-1"}, {serial_no, "  SN 9  "}, {cal_mode, "REF ONLY"},
                {interval_months, "-3 "}})), {}, numbers + ", Q-1", saved);
        row("add: number in blanks exists, each record with it replaced in place",
            "Command1; Text1=  K-1  ; Yes; Yes; Command4", file_of({r[0], r[1], r[2], r[3],
                with(blank, {{1, "K-1"}, {30, "note 4"}}), with(blank, {{1, "K-1"}, {30, "note 5"}})}),
            {overwrite, overwrite}, numbers, saved);
        row("edit, same number, Yes: in its place, reserved lines kept",
            "row=1; Command13; Text2=Scope 2; Option1; Yes; Command4",
            file_of({r[0], with(r[1], {{2, "Scope 2"}, {6, "INTERNAL"}}), r[2], r[3], r[4], r[5]}),
            {overwrite}, numbers, saved);
        row("edit by double-click, same number, No: nothing written",
            "double-click=1; Text2=Changed; No; Command4", before, {overwrite}, numbers,
            entering.arg("B-200|Changed") + " Command9");
        row("edit on the details tab, new number: appended without lines 20-50",
            "row=1; tab=2; Command14; Text1=B-201; Command4",
            appended(with(r[1], {{1, "B-201"}, {20, ""}, {30, ""}, {50, ""}})), {},
            "A-100, B-200, B-201, C-300, D-400, K-1, K-1", saved);
        // A small-letter "available" is listed as available but shown, and so saved, obsolete;
        // a mode the program does not know leaves the option as it was.
        row("edit from the available listing", "listava; double-click=1; Yes; Command4",
            file_of({r[0], r[1], with(r[2], {{6, "EXTERNAL"}, {7, "OBSOLETE"}}), r[3], r[4], r[5]}),
            {overwrite}, numbers, saved);
        row("numbers differing in case are different keys",
            "Command1; Text1=k-1; Command4; row=6; Yes; Command3", before, {delete_selected},
            numbers, "details: || Text1 Command1 Command2 Command3 Command13 Command14");
        row("cancel after add: nothing written", "Command1; Text1=N-9; Command2", before, {},
            numbers, closed.arg("details", "|"));
        row("cancel ends the calibration of the open instrument", "double-click=1; Command2",
            before, {}, numbers, closed.arg("details", "|"));
        row("a click on the selected line shows its record again, closed",
            "row=1; Command1; Text1=N-9; tab=0; row=1", before, {}, numbers,
            "listing: B-200|Scope| Command2 Command3 Command13 Command14");
        row("edit or delete, nothing selected", "Command13; Command3", before,
            {nothing.arg("edit"), nothing.arg("Remove")}, numbers, closed.arg("listing", "|"));
        row("delete answered No", "row=1; No; Command3", before, {delete_selected}, numbers,
            closed.arg("listing", "B-200|Scope"));
        // Two lines read "Multimeter": each stands for its own record, and only that one goes.
        row("delete by description: the second of two alike", "Option6; row=2; Yes; Command3",
            file_of({r[0], r[1], r[3], r[4], r[5]}), {delete_selected},
            "gauge, Multimeter, Probe, Probe spare, Scope", open);
        row("delete three selected, two with one number",
            "row=1; ctrl-row=4; ctrl-row=5; Yes; Command3", file_of({r[0], r[2], r[3]}),
            {delete_selected}, "A-100, C-300, D-400", open);
        // Case does not count in the order, nor in the filter on availability.
        row("available, from another tab", "tab=2; listava", before, {}, "B-200, C-300, K-1", open);
        row("obsolete", "listobsol", before, {}, "D-400, K-1", open);
        row("a new order drops the filter", "listobsol; Option6", before, {},
            "gauge, Multimeter, Multimeter, Probe, Probe spare, Scope", closed.arg("listing", "|"));
        row("failed save keeps the file and the typing",
            "block products2.dat; Command1; Text1=N-9; Text2=Typed; Command4", before,
            {"Warning naming products2.dat"}, numbers, entering.arg("N-9|Typed"));
        row("failed delete keeps the file", "block products2.dat; row=1; Yes; Command3", before,
            {delete_selected, "Warning naming products2.dat"}, numbers, open);
        row("unreadable register: save refused, typing kept",
            "Command1; Text1=N-9; unreadable products.dat; Command4", before, {unread}, numbers,
            entering.arg("N-9|"));
        row("unreadable register: delete refused", "row=1; unreadable products.dat; Yes; Command3",
            before, {delete_selected, unread, unread}, "", open);
        // clang-format on
    }

    void scenario()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, messages);
        // Files trusted as soon as written, so that what a save keeps is what the list shows.
        set_settling_time(0);
        const auto settle_again = qScopeGuard([] { set_settling_time(std::nullopt); });
        WindowFixture fx({before});

        fx.run(steps);

        QFETCH(std::string, file);
        QCOMPARE(fx.products(), file);
        // Beyond naming the file, what a failed read or write says belongs to the file layer.
        const QRegularExpression failure("(?s)^Warning \"Durnmoor\": [^:]*(products2?\\.dat).*");
        QCOMPARE(shown_messages().replaceInStrings(failure, "Warning naming \\1"), messages);
        QTEST(fx.lines_of().join(", "), "listed");
        QTEST(fx.form({"Text1", "Command1", "Command2", "Command3", "Command4", "Command13",
                       "Command14", "Command9"}),
              "form");
        QCOMPARE(fx.env.exists("products2.dat"), steps.contains("block products2.dat"));
        QVERIFY(fx.window->windowTitle().startsWith("Durnmoor V1.0  "));
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
