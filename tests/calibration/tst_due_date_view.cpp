// The next due date on the details tab, as the interval box and the date pickers drive it.
// Today is Saturday 5 December 2026 throughout.
#include "support/window_fixture.h"

#include <QComboBox>

using namespace durnmoor;
using namespace durnmoor::test;

class TestDueDateView : public QObject {
    Q_OBJECT

private slots:
    void typing_and_picking_data();
    void typing_and_picking();
    void add_sets_the_pickers_to_today();
    void loaded_record_data();
    void loaded_record();
};

void TestDueDateView::typing_and_picking_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("due");

    // clang-format off
    QTest::newRow("as selected") << "" << "12" << "Sunday Dec 5 2027";
    QTest::newRow("letter after the digits dropped") << "Text6=12a" << "12" << "Sunday Dec 5 2027";
    // The point must survive its own key, before the digit after it is typed.
    QTest::newRow("fraction") << "Text6=1.5" << "1.5" << "Tuesday Jan 5 2027";
    QTest::newRow("fourth character refused") << "Text6=1234" << "123" << "Thursday Mar 5 2037";
    QTest::newRow("31 then April: no date, the previous one counts on")
        << "Combo1=31; Combo5=April; Text6=1" << "1" << "Sunday Jan 31 2027";
    // clang-format on
}

void TestDueDateView::typing_and_picking()
{
    QFETCH(QString, steps);
    QFETCH(QString, interval);
    QFETCH(QString, due);
    WindowFixture fx(file_of({make_record({"DMM-014", "Bench multimeter"})}));
    fx.double_click_row(0); // shows the instrument and opens its fields for typing

    for (const QString &step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const QString name = step.section('=', 0, 0), text = step.section('=', 1);
        if (name.startsWith(QLatin1String("Combo")))
            QVERIFY(fx.pick(qPrintable(name), text));
        else
            fx.type_over(qPrintable(name), text);
    }

    QCOMPARE(fx.text_of("Text6"), interval);
    QCOMPARE(fx.text_of("Text21"), due);
    QCOMPARE(fx.list()->toolTip(), "DMM-014 (Bench multimeter) due " + due);
}

void TestDueDateView::add_sets_the_pickers_to_today()
{
    // The instrument shown before Add has other dates in both frames.
    WindowFixture fx(file_of({make_record({"D-1", "", "AVAILABLE", "", "17", "March", "2021"})}));
    fx.click_text(QStringLiteral("D-1"));
    QCOMPARE(fx.control<QComboBox>("Combo1")->currentText(), QStringLiteral("17"));
    fx.click_button("Command1");

    QStringList pickers;
    for (const char *name : {"Combo2", "Combo3", "Combo4", "Combo1", "Combo5", "Combo6"}) {
        const auto *box = fx.control<QComboBox>(name);
        pickers << QStringLiteral("%1 of %2: %3 to %4")
                       .arg(box->currentText(), QString::number(box->count()), box->itemText(0),
                            box->itemText(box->count() - 1));
    }
    const QStringList today{"05 of 31: 1 to 31", "December of 12: January to December",
                            "2026 of 201: 1926 to 2126"};
    QCOMPARE(pickers, today + today);
}

// What a record brings with it decides its due date: never the typing limit of the interval
// box, never the date of the instrument shown before it.
void TestDueDateView::loaded_record_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("due");
    QTest::newRow("longer than can be typed") << " 120 "
                                              << "5"
                                              << "120"
                                              << "Saturday Apr 5 2036";
    QTest::newRow("beyond exponent form") << " 100000 "
                                          << "5"
                                          << "100000"
                                          << "";
    QTest::newRow("no such day in April") << " 6 "
                                          << "31"
                                          << "6"
                                          << "";
}
void TestDueDateView::loaded_record()
{
    QFETCH(QString, interval);
    QFETCH(QString, day);
    QFETCH(QString, shown);
    QFETCH(QString, due);
    const product_record before =
        make_record({"A-1", "shown first", "AVAILABLE", " 1 ", "9", "May", "2026"});
    const product_record record = make_record(
        {"B-2", "Probe", "AVAILABLE", interval.toStdString(), day.toStdString(), "April", "2026"});
    WindowFixture fx(file_of({before, record}));
    fx.run("row=0; row=1");
    QCOMPARE(fx.text_of("Text6"), shown);
    if (!due.isEmpty() || day == "31")
        QCOMPARE(fx.text_of("Text21"), due);
    if (day == "31")
        QCOMPARE(fx.list()->toolTip(), QStringLiteral("B-2 (Probe) due "));
    // Saved unchanged, the interval goes back in its plain number form.
    fx.run("Command13; Yes; Command4");
    QCOMPARE(QByteArray::fromStdString(fx.products()).split('\n').at(57),
             (interval + '\r').toLatin1());
}

QTEST_MAIN(TestDueDateView)
#include "tst_due_date_view.moc"
