#include "calibration/date_forms.h"
#include "calibration/due_date.h"

#include <QLocale>
#include <QTest>

using namespace durnmoor;
using namespace Qt::StringLiterals;

namespace {
const QDate dec5(2026, 12, 5);
} // namespace

class TestDueDate : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void due_date_data()
    {
        QTest::addColumn<QStringList>("last"); // day, month, year as the date lists hold them
        QTest::addColumn<QByteArray>("interval");
        QTest::addColumn<QString>("due"); // as shown; empty: no due date
        auto row = [](const char *name, QStringList last, const char *interval, const char *due) {
            QTest::newRow(name) << last << QByteArray(interval) << QString(due);
        };
        row("month end clamped", {"31", "January", "2027"}, " 1 ", "Sunday Feb 28 2027");
        row("leap day + 12", {"29", "February", "2028"}, " 12 ", "Wednesday Feb 28 2029");
        row("day 05, interval 0", {"05", "December", "2026"}, " 0 ", "Saturday Dec 5 2026");
        row("day 5, empty interval", {"5", "December", "2026"}, "", "Saturday Dec 5 2026");
        row("backwards", {"5", "December", "2026"}, "-6 ", "Friday Jun 5 2026");
        row("1.5 cut to 1", {"5", "December", "2026"}, " 1.5 ", "Tuesday Jan 5 2027");
        row("-1.5 cut to -1", {"5", "December", "2026"}, "-1.5 ", "Thursday Nov 5 2026");
        row("31 April", {"31", "April", "2026"}, " 12 ", "");
        row("empty day", {"", "April", "2026"}, " 12 ", "");
        row("empty year", {"5", "April", ""}, " 12 ", "");
        row("unknown month", {"5", "Smarch", "2026"}, " 12 ", "");
        row("absurd interval", {"5", "April", "2026"}, "999999999", "");
    }
    void due_date()
    {
        QFETCH(QStringList, last);
        QFETCH(QByteArray, interval);
        QFETCH(QString, due);
        const auto got = durnmoor::due_date(last[0], last[1], last[2], interval.toStdString());
        QCOMPARE(got ? long_display(*got) : QString(), due);
    }

    void display_forms()
    {
        QCOMPARE(long_display(dec5), u"Saturday Dec 5 2026"_s);
        QCOMPARE(reminder_display(dec5), u"Saturday 05 December 2026"_s);
        QCOMPARE(report_display(dec5), u"Sat Dec 05 2026"_s);
        QCOMPARE(report_header(dec5), u"Sat December 05 2026"_s);
        QCOMPARE(file_date(dec5), u"05/12/2026"_s);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(reminder_display(dec5), u"Samstag 05 Dezember 2026"_s);
    }

    void parsing_data()
    {
        QTest::addColumn<bool>("file_form");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date"); // invalid: refused
        QTest::newRow("joined by /") << false << "05/December/2026" << dec5;
        QTest::newRow("joined by blanks") << false << " 5  December 2026" << dec5;
        QTest::newRow("file date round trip")
            << true << file_date(QDate(2028, 2, 29)) << QDate(2028, 2, 29);
        QTest::newRow("file date, zeros left out") << true << "5/2/2026" << QDate(2026, 2, 5);
        QTest::newRow("file date, no such day") << true << "31/04/2026" << QDate();
        QTest::newRow("file date, dashes") << true << "05-12-2026" << QDate();
    }
    void parsing()
    {
        QFETCH(bool, file_form);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        const auto got = file_form ? parse_file_date(text.toStdString()) : parse_joined_date(text);
        QCOMPARE(got.value_or(QDate()), date);
    }

    void year_choices()
    {
        const QStringList years = durnmoor::year_choices(dec5);
        QCOMPARE(years.size(), 201);
        QCOMPARE(years.first(), u"1926"_s);
        QCOMPARE(years.last(), u"2126"_s);
    }

    void due_within_data()
    {
        QTest::addColumn<QDate>("last"); // invalid: the record has no due date
        QTest::addColumn<int>("distance");
        QTest::addColumn<QList<int>>("listed_under");
        const QList<int> every{1, 2, 3, 6};
        QTest::newRow("due 10 Jan 2027") << QDate(2026, 1, 10) << 1 << every;
        QTest::newRow("due 1 Feb 2027") << QDate(2026, 2, 1) << 2 << QList<int>{2, 3, 6};
        QTest::newRow("overdue since Jan 2026") << QDate(2025, 1, 1) << -11 << every;
        QTest::newRow("due 1 Dec 2026") << QDate(2025, 12, 1) << 0 << every;
        QTest::newRow("due 31 Dec 2026") << QDate(2025, 12, 31) << 0 << every;
        QTest::newRow("no due date") << QDate() << 0 << every;
    }
    void due_within()
    {
        QFETCH(QDate, last);
        QFETCH(int, distance);
        QFETCH(QList<int>, listed_under);
        const auto due = durnmoor::due_date(last, 12);
        QCOMPARE(due.has_value(), last.isValid());
        if (due)
            QCOMPARE(month_distance(dec5, *due), distance);
        for (const int horizon : {1, 2, 3, 6})
            QCOMPARE(durnmoor::due_within(dec5, due, horizon), listed_under.contains(horizon));
    }
};

QTEST_GUILESS_MAIN(TestDueDate)
#include "tst_due_date.moc"
