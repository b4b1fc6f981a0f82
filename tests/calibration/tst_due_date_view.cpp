// The next due date on the details tab, as the date lists, the interval box and the
// instrument list drive it. Today is 5 December 2026 (a Saturday) throughout.
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

product_record multimeter(const std::string &day, const std::string &month, const std::string &year,
                          const std::string &interval) {
    RecordSpec fields{"DMM-014", "Bench multimeter"};
    fields.day = day;
    fields.month = month;
    fields.year = year;
    fields.interval = interval;
    return make_record(fields);
}

QLineEdit *box(WindowFixture &fx, const char *name) {
    return fx.control<QLineEdit>(name);
}
QComboBox *combo(WindowFixture &fx, const char *name) {
    return fx.control<QComboBox>(name);
}

QString tooltip_for(const QString &due) {
    return QStringLiteral("DMM-014 (Bench multimeter) due ") + due;
}

// A pick from a date list, as the list's click reports it.
bool pick(QComboBox *list, const QString &text) {
    const int index = list->findText(text, Qt::MatchExactly);
    if (index < 0 || !list->isEnabled())
        return false;
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

// Selects the instrument and opens it for editing, so the date frame takes input.
bool open_multimeter(WindowFixture &fx) {
    fx.click_text(QStringLiteral("DMM-014"));
    auto *edit = fx.control<QAbstractButton>("Command13");
    if (!edit || !edit->isEnabled())
        return false;
    QTest::mouseClick(edit, Qt::LeftButton);
    return box(fx, "Text6")->isEnabled();
}

} // namespace

class TestDueDateView : public QObject {
    Q_OBJECT

  private slots:
    void selection_shows_due_date_data();
    void selection_shows_due_date();
    void typing_the_interval_data();
    void typing_the_interval();
    void picking_from_the_date_lists_data();
    void picking_from_the_date_lists();
    void impossible_date_keeps_the_previous_one();
    void add_sets_the_lists_to_today_data();
    void add_sets_the_lists_to_today();
};

void TestDueDateView::selection_shows_due_date_data() {
    QTest::addColumn<QByteArray>("day");
    QTest::addColumn<QByteArray>("month");
    QTest::addColumn<QByteArray>("year");
    QTest::addColumn<QByteArray>("interval");
    QTest::addColumn<QString>("shown_interval");
    QTest::addColumn<QString>("due");

    QTest::newRow("twelve months") << QByteArray("5") << QByteArray("December")
                                   << QByteArray("2026") << QByteArray(" 12 ") << "12"
                                   << "Sunday Dec 5 2027";
    QTest::newRow("day as the clock writes it") << QByteArray("05") << QByteArray("December")
                                                << QByteArray("2026") << QByteArray(" 12 ") << "12"
                                                << "Sunday Dec 5 2027";
    QTest::newRow("month end") << QByteArray("31") << QByteArray("January") << QByteArray("2027")
                               << QByteArray(" 1 ") << "1"
                               << "Sunday Feb 28 2027";
    QTest::newRow("leap day") << QByteArray("29") << QByteArray("February") << QByteArray("2028")
                              << QByteArray(" 12 ") << "12"
                              << "Wednesday Feb 28 2029";
    QTest::newRow("no interval") << QByteArray("15") << QByteArray("March") << QByteArray("2026")
                                 << QByteArray(" 0 ") << "0"
                                 << "Sunday Mar 15 2026";
    QTest::newRow("empty interval")
        << QByteArray("15") << QByteArray("March") << QByteArray("2026") << QByteArray("") << "0"
        << "Sunday Mar 15 2026";
    QTest::newRow("interval not a number")
        << QByteArray("15") << QByteArray("March") << QByteArray("2026") << QByteArray("abc") << "0"
        << "Sunday Mar 15 2026";
    QTest::newRow("negative interval") << QByteArray("5") << QByteArray("December")
                                       << QByteArray("2026") << QByteArray("-6 ") << "-6"
                                       << "Friday Jun 5 2026";
}

void TestDueDateView::selection_shows_due_date() {
    QFETCH(QByteArray, day);
    QFETCH(QByteArray, month);
    QFETCH(QByteArray, year);
    QFETCH(QByteArray, interval);
    QFETCH(QString, shown_interval);
    QFETCH(QString, due);

    WindowFixture fx(file_of({make_record({"A-100", "Oscilloscope"}),
                              multimeter(day.toStdString(), month.toStdString(), year.toStdString(),
                                         interval.toStdString())}));
    fx.click_text(QStringLiteral("DMM-014"));

    QCOMPARE(box(fx, "Text6")->text(), shown_interval);
    QCOMPARE(box(fx, "Text21")->text(), due);
    QCOMPARE(fx.list()->toolTip(), tooltip_for(due));
}

void TestDueDateView::typing_the_interval_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("due");

    QTest::newRow("letter after the digits") << "12a"
                                             << "12"
                                             << "Sunday Dec 5 2027";
    QTest::newRow("six months") << "6"
                                << "6"
                                << "Saturday Jun 5 2027";
    QTest::newRow("fourth character refused") << "1234"
                                              << "123"
                                              << "Thursday Mar 5 2037";
    QTest::newRow("letters only") << "abc"
                                  << "0"
                                  << "Saturday Dec 5 2026";
    // The point and the sign must survive the keys before the digits that follow them.
    QTest::newRow("fraction") << "1.5"
                              << "1.5"
                              << "Tuesday Jan 5 2027";
    QTest::newRow("point still being typed") << "1."
                                             << "1."
                                             << "Tuesday Jan 5 2027";
    QTest::newRow("negative") << "-1"
                              << "-1"
                              << "Thursday Nov 5 2026";
    QTest::newRow("fraction below one") << ".5"
                                        << "0.5"
                                        << "Saturday Dec 5 2026";
}

void TestDueDateView::typing_the_interval() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, due);

    WindowFixture fx(file_of({multimeter("5", "December", "2026", " 12 ")}));
    QVERIFY(open_multimeter(fx));
    QLineEdit *interval = box(fx, "Text6");
    interval->selectAll(); // the first key types over what was loaded
    QTest::keyClicks(interval, typed);

    QCOMPARE(interval->text(), shown);
    QCOMPARE(box(fx, "Text21")->text(), due);
    QCOMPARE(fx.list()->toolTip(), tooltip_for(due));
}

void TestDueDateView::picking_from_the_date_lists_data() {
    QTest::addColumn<QStringList>("lists");
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QString>("due");

    QTest::newRow("day from the list equals the clock's")
        << QStringList{"Combo1"} << QStringList{"5"} << "Sunday Dec 5 2027";
    QTest::newRow("another day") << QStringList{"Combo1"} << QStringList{"6"}
                                 << "Monday Dec 6 2027";
    QTest::newRow("month") << QStringList{"Combo5"} << QStringList{"January"}
                           << "Tuesday Jan 5 2027";
    QTest::newRow("year") << QStringList{"Combo6"} << QStringList{"2030"} << "Friday Dec 5 2031";
    QTest::newRow("31 then April keeps 31 December")
        << QStringList{"Combo1", "Combo5"} << QStringList{"31", "April"} << "Friday Dec 31 2027";
    QTest::newRow("April then 31 keeps 5 April")
        << QStringList{"Combo5", "Combo1"} << QStringList{"April", "31"} << "Monday Apr 5 2027";
}

void TestDueDateView::picking_from_the_date_lists() {
    QFETCH(QStringList, lists);
    QFETCH(QStringList, picked);
    QFETCH(QString, due);

    WindowFixture fx;
    auto *add = fx.control<QAbstractButton>("Command1");
    QVERIFY(add && add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    for (qsizetype i = 0; i < lists.size(); ++i)
        QVERIFY(pick(combo(fx, lists[i].toLatin1().constData()), picked[i]));

    QCOMPARE(box(fx, "Text21")->text(), due);
    // What was picked is shown, even when it forms no date.
    QCOMPARE(combo(fx, lists.last().toLatin1().constData())->currentText(), picked.last());
}

void TestDueDateView::impossible_date_keeps_the_previous_one() {
    WindowFixture fx(file_of({multimeter("5", "December", "2026", " 12 ")}));
    QVERIFY(open_multimeter(fx));
    QCOMPARE(box(fx, "Text21")->text(), QStringLiteral("Sunday Dec 5 2027"));

    QVERIFY(pick(combo(fx, "Combo1"), QStringLiteral("31")));
    QCOMPARE(box(fx, "Text21")->text(), QStringLiteral("Friday Dec 31 2027"));
    QVERIFY(pick(combo(fx, "Combo5"), QStringLiteral("April")));
    QCOMPARE(box(fx, "Text21")->text(), QStringLiteral("Friday Dec 31 2027"));

    // The kept date is what a new interval counts from.
    QLineEdit *interval = box(fx, "Text6");
    interval->selectAll();
    QTest::keyClicks(interval, QStringLiteral("1"));
    QCOMPARE(box(fx, "Text21")->text(), QStringLiteral("Sunday Jan 31 2027"));
    QCOMPARE(fx.list()->toolTip(), tooltip_for(QStringLiteral("Sunday Jan 31 2027")));
}

void TestDueDateView::add_sets_the_lists_to_today_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    QTest::newRow("purchase day") << "Combo2"
                                  << "05" << 31 << "1"
                                  << "31";
    QTest::newRow("purchase month") << "Combo3"
                                    << "December" << 12 << "January"
                                    << "December";
    QTest::newRow("purchase year") << "Combo4"
                                   << "2026" << 201 << "1926"
                                   << "2126";
    QTest::newRow("calibration day") << "Combo1"
                                     << "05" << 31 << "1"
                                     << "31";
    QTest::newRow("calibration month") << "Combo5"
                                       << "December" << 12 << "January"
                                       << "December";
    QTest::newRow("calibration year") << "Combo6"
                                      << "2026" << 201 << "1926"
                                      << "2126";
}

void TestDueDateView::add_sets_the_lists_to_today() {
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);

    // The instrument shown before Add has other dates in both frames and another interval.
    product_record shown = multimeter("17", "March", "2021", " 6 ");
    WindowFixture fx(file_of({shown}));
    fx.click_text(QStringLiteral("DMM-014"));
    QCOMPARE(combo(fx, "Combo1")->currentText(), QStringLiteral("17"));

    auto *add = fx.control<QAbstractButton>("Command1");
    QVERIFY(add && add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);

    QComboBox *dates = combo(fx, list.toLatin1().constData());
    QCOMPARE(dates->currentText(), text);
    QCOMPARE(dates->count(), count);
    QCOMPARE(dates->itemText(0), first);
    QCOMPARE(dates->itemText(count - 1), last);
    QCOMPARE(box(fx, "Text6")->text(), QStringLiteral("12"));
    QCOMPARE(box(fx, "Text21")->text(), QStringLiteral("Sunday Dec 5 2027"));
}

QTEST_MAIN(TestDueDateView)
#include "tst_due_date_view.moc"
