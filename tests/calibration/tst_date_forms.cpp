#include "calibration/date_forms.h"
#include "support/test_env.h"

#include <QLocale>
#include <QTest>

#include <memory>

using namespace durnmoor;

namespace {
// nullopt travels through the tables as an invalid QDate.
QDate or_invalid(std::optional<QDate> date) {
    return date.value_or(QDate());
}
} // namespace

class TestDateForms : public QObject {
    Q_OBJECT

  private slots:
    void init() { env_ = std::make_unique<test::TestEnv>(); }
    void cleanup() { env_.reset(); }

    void choices();
    void display_forms_data();
    void display_forms();
    void names_follow_the_locale();
    void parse_split_date_data();
    void parse_split_date();
    void parse_joined_date_data();
    void parse_joined_date();
    void parse_file_date_data();
    void parse_file_date();

  private:
    std::unique_ptr<test::TestEnv> env_;
};

void TestDateForms::choices() {
    const QStringList months = month_names();
    QCOMPARE(months.size(), 12);
    QCOMPARE(months.first(), QStringLiteral("January"));
    QCOMPARE(months.last(), QStringLiteral("December"));

    const QStringList days = day_choices();
    QCOMPARE(days.size(), 31);
    QCOMPARE(days.first(), QStringLiteral("1"));
    QCOMPARE(days.last(), QStringLiteral("31"));

    const QStringList years = year_choices(QDate(2026, 12, 5));
    QCOMPARE(years.size(), 201);
    QCOMPARE(years.first(), QStringLiteral("1926"));
    QCOMPARE(years.at(100), QStringLiteral("2026"));
    QCOMPARE(years.last(), QStringLiteral("2126"));
}

void TestDateForms::display_forms_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("long_form");
    QTest::addColumn<QString>("reminder");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("split");

    QTest::newRow("single-digit day") << QDate(2026, 12, 5) << "Saturday Dec 5 2026"
                                      << "Saturday 05 December 2026"
                                      << "Sat Dec 05 2026"
                                      << "Sat December 05 2026"
                                      << "05/12/2026" << QStringList{"05", "December", "2026"};
    QTest::newRow("leap day") << QDate(2028, 2, 29) << "Tuesday Feb 29 2028"
                              << "Tuesday 29 February 2028"
                              << "Tue Feb 29 2028"
                              << "Tue February 29 2028"
                              << "29/02/2028" << QStringList{"29", "February", "2028"};
}

void TestDateForms::display_forms() {
    QFETCH(QDate, date);
    QFETCH(QString, long_form);
    QFETCH(QString, reminder);
    QFETCH(QString, report);
    QFETCH(QString, header);
    QFETCH(QString, file);
    QFETCH(QStringList, split);

    QCOMPARE(long_display(date), long_form);
    QCOMPARE(reminder_display(date), reminder);
    QCOMPARE(report_display(date), report);
    QCOMPARE(report_header(date), header);
    QCOMPARE(file_date(date), file);
    const SplitDate parts = split_date(date);
    QCOMPARE((QStringList{parts.day, parts.month, parts.year}), split);

    // What is written must read back as the same date.
    QCOMPARE(or_invalid(durnmoor::parse_file_date(file.toStdString())), date);
    QCOMPARE(or_invalid(durnmoor::parse_split_date(parts.day, parts.month, parts.year)), date);
    QCOMPARE(or_invalid(durnmoor::parse_joined_date(split.join('/'))), date);
}

void TestDateForms::names_follow_the_locale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QDate date(2026, 3, 5);

    QCOMPARE(month_names().at(2), QStringLiteral("März"));
    QCOMPARE(split_date(date).month, QStringLiteral("März"));
    QCOMPARE(reminder_display(date), QStringLiteral("Donnerstag 05 März 2026"));
    QVERIFY(long_display(date).startsWith(QStringLiteral("Donnerstag ")));
    // The numeric forms stay as they are whatever the language.
    QCOMPARE(file_date(date), QStringLiteral("05/03/2026"));

    // Both the language's names and the English names that stored files hold are read.
    QCOMPARE(or_invalid(durnmoor::parse_split_date(u"5", u"März", u"2026")), date);
    QCOMPARE(or_invalid(durnmoor::parse_split_date(u"5", u"March", u"2026")), date);
}

void TestDateForms::parse_split_date_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QDate>("expected");

    const QDate dec5(2026, 12, 5);
    QTest::newRow("day from the clock") << "05"
                                        << "December"
                                        << "2026" << dec5;
    QTest::newRow("day from the list") << "5"
                                       << "December"
                                       << "2026" << dec5;
    QTest::newRow("blanks around parts") << " 5 "
                                         << " December "
                                         << " 2026 " << dec5;
    QTest::newRow("month in other case") << "5"
                                         << "dECEMBER"
                                         << "2026" << dec5;
    QTest::newRow("leap day") << "29"
                              << "February"
                              << "2028" << QDate(2028, 2, 29);

    QTest::newRow("31 April") << "31"
                              << "April"
                              << "2026" << QDate();
    QTest::newRow("30 February") << "30"
                                 << "February"
                                 << "2028" << QDate();
    QTest::newRow("29 February, no leap year") << "29"
                                               << "February"
                                               << "2027" << QDate();
    QTest::newRow("day 0") << "0"
                           << "December"
                           << "2026" << QDate();
    QTest::newRow("day 32") << "32"
                            << "December"
                            << "2026" << QDate();
    QTest::newRow("empty day") << ""
                               << "December"
                               << "2026" << QDate();
    QTest::newRow("day with letters") << "5a"
                                      << "December"
                                      << "2026" << QDate();
    QTest::newRow("signed day") << "+5"
                                << "December"
                                << "2026" << QDate();
    QTest::newRow("empty month") << "5"
                                 << ""
                                 << "2026" << QDate();
    QTest::newRow("unknown month") << "5"
                                   << "Decembre"
                                   << "2026" << QDate();
    QTest::newRow("abbreviated month") << "5"
                                       << "Dec"
                                       << "2026" << QDate();
    QTest::newRow("empty year") << "5"
                                << "December"
                                << "" << QDate();
    QTest::newRow("two-digit year") << "5"
                                    << "December"
                                    << "26" << QDate();
    QTest::newRow("year with letters") << "5"
                                       << "December"
                                       << "2O26" << QDate();
}

void TestDateForms::parse_split_date() {
    QFETCH(QString, day);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(QDate, expected);

    QCOMPARE(or_invalid(durnmoor::parse_split_date(day, month, year)), expected);
}

void TestDateForms::parse_joined_date_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");

    const QDate dec5(2026, 12, 5);
    QTest::newRow("slashes, two-digit day") << "05/December/2026" << dec5;
    QTest::newRow("slashes, one-digit day") << "5/December/2026" << dec5;
    QTest::newRow("single blanks") << "5 December 2026" << dec5;
    QTest::newRow("several blanks") << "  05   December  2026 " << dec5;

    QTest::newRow("empty day, slashes") << "/December/2026" << QDate();
    QTest::newRow("empty year, slashes") << "5/December/" << QDate();
    QTest::newRow("empty day, blanks") << " December 2026" << QDate();
    QTest::newRow("31 April") << "31/April/2026" << QDate();
    QTest::newRow("extra part") << "5/December/2026/1" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestDateForms::parse_joined_date() {
    QFETCH(QString, text);
    QFETCH(QDate, expected);

    QCOMPARE(or_invalid(durnmoor::parse_joined_date(text)), expected);
}

void TestDateForms::parse_file_date_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("written form") << "05/12/2026" << QDate(2026, 12, 5);
    QTest::newRow("day first, not month first") << "12/05/2026" << QDate(2026, 5, 12);
    QTest::newRow("zeros left out") << "5/2/2026" << QDate(2026, 2, 5);

    QTest::newRow("31 April") << "31/04/2026" << QDate();
    QTest::newRow("month 13") << "05/13/2026" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("letters") << "ab/cd/efgh" << QDate();
    QTest::newRow("dashes") << "05-12-2026" << QDate();
    QTest::newRow("two-digit year") << "05/12/26" << QDate();
    QTest::newRow("leading blank") << " 05/12/2026" << QDate();
    QTest::newRow("trailing text") << "05/12/2026x" << QDate();
    QTest::newRow("three-digit day") << "005/12/2026" << QDate();
}

void TestDateForms::parse_file_date() {
    QFETCH(QString, text);
    QFETCH(QDate, expected);

    QCOMPARE(or_invalid(durnmoor::parse_file_date(text.toStdString())), expected);
}

QTEST_GUILESS_MAIN(TestDateForms)
#include "tst_date_forms.moc"
