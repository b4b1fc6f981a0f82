#include "calibration/money.h"

#include <QTest>

#include <limits>

using durnmoor::Money;

namespace {

constexpr qint64 top = std::numeric_limits<qint64>::max();
constexpr qint64 bottom = std::numeric_limits<qint64>::min();
constexpr qint64 no_number = 0x5EED; // marks "nullopt expected" in the tables

} // namespace

class TestMoney : public QObject {
    Q_OBJECT

private slots:
    void parse_leading_data();
    void parse_leading();
    void format_data();
    void format();
    void divided_by_data();
    void divided_by();
    void add_refuses_overflow_data();
    void add_refuses_overflow();
};

void TestMoney::parse_leading_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("is_number");
    QTest::addColumn<qint64>("units");

    auto number = [](const char *name, const char *text, qint64 units) {
        QTest::newRow(name) << QByteArray(text) << true << units;
    };
    auto none = [](const char *name, const char *text) {
        QTest::newRow(name) << QByteArray(text) << false << qint64(no_number);
    };

    number("whole", "100", 1'000'000);
    number("decimals", "83.3333", 833'333);
    number("blanks and tab first", " \t 12.5", 125'000);
    number("trailing text", "12abc", 120'000);
    number("printed number form", " 12 ", 120'000);
    number("minus", "-3.25", -32'500);
    number("plus", "+7", 70'000);
    number("point first", ".5", 5'000);
    number("point last", "5.", 50'000);
    number("thousands comma stops", "1,250.00", 10'000);
    number("half rounds up", "0.00005", 1);
    number("half rounds away below zero", "-0.00005", -1);
    number("under half rounds down", "0.000049999", 0);
    number("only the first dropped digit counts", "1.23454999", 12'345);
    number("rounding carries", "99.99995", 1'000'000);
    number("minus zero", "-0.0", 0);
    number("many leading zeros", "000000000000000000000000042", 420'000);
    number("exponent", "1e3", 10'000'000);
    number("exponent capital D", "2D2", 2'000'000);
    number("negative exponent", "2.5E-4", 3);
    number("exponent without digits ignored", "1e", 10'000);
    number("exponent sign without digits ignored", "1e+x", 10'000);
    number("tiny exponent", "5e-999999999999999999999", 0);
    number("huge exponent of zero", "0e999999999999999999999", 0);
    number("largest", "922337203685477.5807", top);
    number("smallest", "-922337203685477.5808", bottom);
    number("rounds to largest", "922337203685477.58074", top);

    none("empty", "");
    none("not a number", "n/a");
    none("blanks only", "   ");
    none("sign only", "-");
    none("point only", ".");
    none("exponent only", "e5");
    none("currency sign first", "$12");
    none("just past largest", "922337203685477.5808");
    none("rounds past largest", "922337203685477.58075");
    none("just past smallest", "-922337203685477.5809");
    none("huge exponent", "1e999999999999999999999");
    none("too many digits", "123456789012345678901234567890");
}

void TestMoney::parse_leading()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, is_number);
    QFETCH(qint64, units);

    const auto money = Money::parse_leading(std::string_view(text.constData(), text.size()));
    QCOMPARE(money.has_value(), is_number);
    if (is_number)
        QCOMPARE(qint64(money->units()), units);
}

void TestMoney::format_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole") << qint64(2'500'000) << "250.00";
    QTest::newRow("four decimals") << qint64(833'333) << "83.3333";
    QTest::newRow("one decimal") << qint64(1'255'000) << "125.50";
    QTest::newRow("three decimals") << qint64(12'340) << "1.234";
    QTest::newRow("zero") << qint64(0) << "0.00";
    QTest::newRow("negative") << qint64(-32'500) << "-3.25";
    QTest::newRow("negative below one") << qint64(-1) << "-0.0001";
    QTest::newRow("smallest step") << qint64(1) << "0.0001";
    QTest::newRow("no thousands separator") << qint64(12'345'670'000) << "1234567.00";
    QTest::newRow("largest") << top << "922337203685477.5807";
    QTest::newRow("smallest") << bottom << "-922337203685477.5808";
}

void TestMoney::format()
{
    QFETCH(qint64, units);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(Money::from_units(units).format()), expected);
}

void TestMoney::divided_by_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("250 by 3") << qint64(2'500'000) << qint64(3) << qint64(833'333);
    QTest::newRow("2 by 3 rounds up") << qint64(20'000) << qint64(3) << qint64(6'667);
    QTest::newRow("-2 by 3 rounds away") << qint64(-20'000) << qint64(3) << qint64(-6'667);
    QTest::newRow("half step rounds up") << qint64(1) << qint64(2) << qint64(1);
    QTest::newRow("negative half step") << qint64(-1) << qint64(2) << qint64(-1);
    QTest::newRow("under half rounds down") << qint64(1) << qint64(3) << qint64(0);
    QTest::newRow("exact") << qint64(300) << qint64(3) << qint64(100);
    QTest::newRow("by one") << bottom << qint64(1) << bottom;
    QTest::newRow("largest by two") << top << qint64(2) << qint64(top / 2 + 1);
    QTest::newRow("smallest by largest") << bottom << top << qint64(-1);
    QTest::newRow("zero count") << qint64(500) << qint64(0) << qint64(0);
}

void TestMoney::divided_by()
{
    QFETCH(qint64, units);
    QFETCH(qint64, count);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(Money::from_units(units).divided_by(count).units()), expected);
}

void TestMoney::add_refuses_overflow_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("added");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<qint64>("after");

    QTest::newRow("plain sum") << qint64(1'000'000) << qint64(500'000) << true << qint64(1'500'000);
    QTest::newRow("up to largest") << top - 5 << qint64(5) << true << top;
    QTest::newRow("past largest") << top - 5 << qint64(6) << false << top - 5;
    QTest::newRow("largest plus largest") << top << top << false << top;
    QTest::newRow("down to smallest") << bottom + 5 << qint64(-5) << true << bottom;
    QTest::newRow("past smallest") << bottom + 5 << qint64(-6) << false << bottom + 5;
    QTest::newRow("opposite signs never overflow") << bottom << top << true << qint64(-1);
}

void TestMoney::add_refuses_overflow()
{
    QFETCH(qint64, start);
    QFETCH(qint64, added);
    QFETCH(bool, fits);
    QFETCH(qint64, after);

    Money money = Money::from_units(start);
    QCOMPARE(money.add(Money::from_units(added)), fits);
    QCOMPARE(qint64(money.units()), after);
}

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
