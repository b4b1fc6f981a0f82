#include "register/number_form.h"

#include <QTest>

using namespace durnmoor;

class NumberFormTest : public QObject {
    Q_OBJECT

private slots:
    void leading_number_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QByteArray("12") << 12.0;
        QTest::newRow("stored form") << QByteArray(" 12 ") << 12.0;
        QTest::newRow("trailing text") << QByteArray("12a") << 12.0;
        QTest::newRow("not a number") << QByteArray("abc") << 0.0;
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("blanks and tab") << QByteArray(" \t 7") << 7.0;
        QTest::newRow("negative") << QByteArray("-3 ") << -3.0;
        QTest::newRow("plus") << QByteArray("+4") << 4.0;
        QTest::newRow("fraction") << QByteArray("1.5") << 1.5;
        QTest::newRow("point first") << QByteArray(" .5 ") << 0.5;
        QTest::newRow("exponent") << QByteArray("1e2x") << 100.0;
        QTest::newRow("exponent without digits") << QByteArray("12e") << 12.0;
        QTest::newRow("sign alone") << QByteArray("-") << 0.0;
        QTest::newRow("point alone") << QByteArray(".") << 0.0;
        QTest::newRow("overflow") << QByteArray("1e999") << 0.0;
    }

    void leading_number()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(durnmoor::leading_number(text.toStdString()), value);
    }

    void forms_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("twelve") << 12.0 << QByteArray(" 12 ") << QByteArray("12");
        QTest::newRow("zero") << 0.0 << QByteArray(" 0 ") << QByteArray("0");
        QTest::newRow("negative zero") << -0.0 << QByteArray(" 0 ") << QByteArray("0");
        QTest::newRow("fraction") << 1.5 << QByteArray(" 1.5 ") << QByteArray("1.5");
        QTest::newRow("below one") << 0.5 << QByteArray(" .5 ") << QByteArray("0.5");
        QTest::newRow("negative") << -3.0 << QByteArray("-3 ") << QByteArray("-3");
        QTest::newRow("negative fraction") << -0.25 << QByteArray("-.25 ") << QByteArray("-0.25");
        QTest::newRow("large") << 120.0 << QByteArray(" 120 ") << QByteArray("120");
        // Never the exponent form, which other readers of the file would take for 1.
        QTest::newRow("hundred thousand") << 1e5 << QByteArray(" 100000 ") << QByteArray("100000");
        QTest::newRow("huge") << 1e22 << QByteArray(" 10000000000000000000000 ")
                              << QByteArray("10000000000000000000000");
        QTest::newRow("tiny") << 1e-7 << QByteArray(" .0000001 ") << QByteArray("0.0000001");
    }

    void forms()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, plain);
        QCOMPARE(QByteArray::fromStdString(number_form(value)), stored);
        QCOMPARE(QByteArray::fromStdString(plain_number(value)), plain);
        // What is written reads back as the same value.
        QCOMPARE(durnmoor::leading_number(number_form(value)), value);
    }
};

QTEST_GUILESS_MAIN(NumberFormTest)
#include "tst_number_form.moc"
