#include "app/clock.h"
#include "calibration/date_forms.h"
#include "calibration/due_date.h"
#include "support/test_env.h"

#include <QTest>

#include <limits>
#include <memory>

using namespace durnmoor;

namespace {
// nullopt travels through the tables as an invalid QDate.
QDate or_invalid(std::optional<QDate> date) {
    return date.value_or(QDate());
}
} // namespace

class TestDueDate : public QObject {
    Q_OBJECT

  private slots:
    void init() { env_ = std::make_unique<test::TestEnv>(); }
    void cleanup() { env_.reset(); }

    void add_months_clamped_data();
    void add_months_clamped();
    void whole_months_data();
    void whole_months();
    void due_date_from_texts_data();
    void due_date_from_texts();
    void due_date_shown_in_long_display();
    void due_within_data();
    void due_within();

  private:
    std::unique_ptr<test::TestEnv> env_;
};

void TestDueDate::add_months_clamped_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("months");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("31 Jan + 1, common year") << QDate(2027, 1, 31) << 1 << QDate(2027, 2, 28);
    QTest::newRow("31 Jan + 1, leap year") << QDate(2028, 1, 31) << 1 << QDate(2028, 2, 29);
    QTest::newRow("29 Feb + 12") << QDate(2028, 2, 29) << 12 << QDate(2029, 2, 28);
    QTest::newRow("29 Feb + 48") << QDate(2028, 2, 29) << 48 << QDate(2032, 2, 29);
    QTest::newRow("31 Aug + 1") << QDate(2026, 8, 31) << 1 << QDate(2026, 9, 30);
    QTest::newRow("into next year") << QDate(2026, 12, 5) << 1 << QDate(2027, 1, 5);
    QTest::newRow("0 months") << QDate(2026, 3, 15) << 0 << QDate(2026, 3, 15);
    QTest::newRow("-6 months") << QDate(2026, 3, 15) << -6 << QDate(2025, 9, 15);
    QTest::newRow("back into a short month") << QDate(2026, 3, 31) << -1 << QDate(2026, 2, 28);
    QTest::newRow("back into last year") << QDate(2026, 1, 15) << -1 << QDate(2025, 12, 15);
}

void TestDueDate::add_months_clamped() {
    QFETCH(QDate, date);
    QFETCH(int, months);
    QFETCH(QDate, expected);

    QCOMPARE(durnmoor::add_months_clamped(date, months), expected);
}

void TestDueDate::whole_months_data() {
    QTest::addColumn<double>("interval");
    QTest::addColumn<int>("expected"); // -999 stands for nullopt

    QTest::newRow("whole") << 12.0 << 12;
    QTest::newRow("1.5 cut down") << 1.5 << 1;
    QTest::newRow("-1.5 cut toward zero") << -1.5 << -1;
    QTest::newRow("below one month") << 0.9 << 0;
    QTest::newRow("largest accepted") << double(max_interval_months) << max_interval_months;
    QTest::newRow("absurd") << 1e9 << -999;
    QTest::newRow("absurd negative") << -1e9 << -999;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << -999;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << -999;
}

void TestDueDate::whole_months() {
    QFETCH(double, interval);
    QFETCH(int, expected);

    QCOMPARE(durnmoor::whole_months(interval).value_or(-999), expected);
}

void TestDueDate::due_date_from_texts_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QDate>("expected");

    const QDate mar15(2026, 3, 15);
    QTest::newRow("stored interval form") << "15"
                                          << "March"
                                          << "2026"
                                          << " 12 " << QDate(2027, 3, 15);
    QTest::newRow("interval with trailing letter") << "15"
                                                   << "March"
                                                   << "2026"
                                                   << "12a" << QDate(2027, 3, 15);
    QTest::newRow("interval 0") << "15"
                                << "March"
                                << "2026"
                                << " 0 " << mar15;
    QTest::newRow("empty interval") << "15"
                                    << "March"
                                    << "2026"
                                    << "" << mar15;
    QTest::newRow("non-numeric interval") << "15"
                                          << "March"
                                          << "2026"
                                          << "abc" << mar15;
    QTest::newRow("interval -6") << "15"
                                 << "March"
                                 << "2026"
                                 << "-6 " << QDate(2025, 9, 15);
    QTest::newRow("fractional interval") << "15"
                                         << "March"
                                         << "2026"
                                         << " 1.5 " << QDate(2026, 4, 15);
    QTest::newRow("month end clamped") << "31"
                                       << "January"
                                       << "2027"
                                       << " 1 " << QDate(2027, 2, 28);

    QTest::newRow("31 April") << "31"
                              << "April"
                              << "2026"
                              << " 12 " << QDate();
    QTest::newRow("empty day") << ""
                               << "March"
                               << "2026"
                               << " 12 " << QDate();
    QTest::newRow("empty year") << "15"
                                << "March"
                                << ""
                                << " 12 " << QDate();
    QTest::newRow("unknown month") << "15"
                                   << "Smarch"
                                   << "2026"
                                   << " 12 " << QDate();
    QTest::newRow("absurd interval") << "15"
                                     << "March"
                                     << "2026"
                                     << "999999999" << QDate();
}

void TestDueDate::due_date_from_texts() {
    QFETCH(QString, day);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(QString, interval);
    QFETCH(QDate, expected);

    QCOMPARE(or_invalid(due_date(day, month, year, interval.toStdString())), expected);
}

void TestDueDate::due_date_shown_in_long_display() {
    const auto due = due_date(u"31", u"January", u"2027", " 1 ");
    QVERIFY(due);
    QCOMPARE(long_display(*due), QStringLiteral("Sunday Feb 28 2027"));
}

void TestDueDate::due_within_data() {
    QTest::addColumn<QDate>("last_calibrated"); // invalid: the record has no due date
    QTest::addColumn<double>("interval");
    QTest::addColumn<int>("distance");
    QTest::addColumn<QList<int>>("listed_under");

    const QList<int> every{1, 2, 3, 6};
    QTest::newRow("due 10 Jan 2027") << QDate(2026, 1, 10) << 12.0 << 1 << every;
    QTest::newRow("due 1 Feb 2027") << QDate(2026, 2, 1) << 12.0 << 2 << QList<int>{2, 3, 6};
    QTest::newRow("overdue since 1 Jan 2026") << QDate(2025, 1, 1) << 12.0 << -11 << every;
    QTest::newRow("due 1 Dec 2026, earlier this month") << QDate(2025, 12, 1) << 12.0 << 0 << every;
    QTest::newRow("due 31 Dec 2026") << QDate(2025, 12, 31) << 12.0 << 0 << every;
    QTest::newRow("due 30 Jun 2027") << QDate(2026, 6, 30) << 12.0 << 6 << QList<int>{6};
    QTest::newRow("due 1 Jul 2027") << QDate(2026, 7, 1) << 12.0 << 7 << QList<int>{};
    QTest::newRow("no due date") << QDate() << 12.0 << 0 << every;
}

void TestDueDate::due_within() {
    QFETCH(QDate, last_calibrated);
    QFETCH(double, interval);
    QFETCH(int, distance);
    QFETCH(QList<int>, listed_under);

    const QDate now = today();
    QCOMPARE(now, QDate(2026, 12, 5));
    const auto due = due_date(last_calibrated, interval);
    QCOMPARE(due.has_value(), last_calibrated.isValid());
    if (due)
        QCOMPARE(month_distance(now, *due), distance);
    for (const int horizon : {1, 2, 3, 6})
        QCOMPARE(durnmoor::due_within(now, due, horizon), listed_under.contains(horizon));
}

QTEST_GUILESS_MAIN(TestDueDate)
#include "tst_due_date.moc"
