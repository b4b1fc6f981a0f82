// products.dat as read and rewritten record by record, and the number form of its
// interval line.
#include "register/number_form.h"
#include "register/products_file.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(std::string)

class ProductsFileTest : public QObject {
    Q_OBJECT

private slots:
    // What a rewrite that copies every record and appends one writes: every byte of whole
    // records kept, a record cut short filled up with empty lines, line ends made CR LF.
    // Stray line ends after the last record are no instrument.
    void read_and_rewritten_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<std::string>("rewritten");
        const product_record a = with(make_record({"1", "A"}), {{20, "first reserved"}});
        const product_record odd = with(make_record({"\xe9\xe8-\x01", "caf\xc3\xa9 \xff\xfe"}),
                                        {{45, "\t tab and trailing blanks   "}, {50, "last"}});
        const product_record cut = with(make_record({"2", "Cut"}), {{20, "partial"}});
        const auto cut_after = [&](int lines) {
            product_record kept = cut;
            for (int n = lines + 1; n <= product_line_count; ++n)
                kept[n].clear();
            return kept;
        };
        std::string cut7 = file_of({a}), cut20 = cut7, lf;
        for (int n = 1; n <= 20; ++n)
            cut20 += cut[n] + (n < 20 ? "\r\n" : ""); // the last line end missing too
        for (int n = 1; n <= 7; ++n)
            cut7 += cut[n] + "\r\n";
        for (const char c : file_of({a}))
            if (c != '\r')
                lf += c;
        QTest::newRow("bytes as they are") << file_of({a, odd}) << 2 << file_of({a, odd});
        QTest::newRow("bare LF") << lf << 1 << file_of({a});
        QTest::newRow("cut after 7 lines") << cut7 << 2 << file_of({a, cut_after(7)});
        QTest::newRow("cut inside line 20") << cut20 << 2 << file_of({a, cut_after(20)});
        QTest::newRow("one line") << file_of({a}) + "2\r\n" << 2 << file_of({a, cut_after(1)});
        QTest::newRow("one stray line end") << file_of({a}) + "\r\n" << 1 << file_of({a});
        QTest::newRow("bare line ends") << file_of({a}) + "\n\n\n" << 1 << file_of({a});
        QTest::newRow("stray line ends alone") << std::string("\r\n\n") << 0 << std::string();
        QTest::newRow("an empty line, then content") << file_of({a}) + "\r\nX\r\n"
                                                     << 2 << file_of({a, with({}, {{2, "X"}})});
    }
    void read_and_rewritten()
    {
        QFETCH(std::string, bytes);
        QFETCH(int, records);
        QFETCH(std::string, rewritten);
        const product_record added = make_record({"3", "Added"});
        const ProductsData data(bytes);
        QCOMPARE(data.size(), std::size_t(records));
        ProductsRewrite rewrite(data);
        for (std::size_t i = 0; i < data.size(); ++i)
            rewrite.copy(i);
        rewrite.write(added);
        COMPARE_FILE(rewrite.bytes(), rewritten + file_of({added}));
        QCOMPARE(ProductsData(rewrite.bytes()).record(data.size()).lines, added.lines);
    }

    void leading_number_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("stored form") << QByteArray(" 12 ") << 12.0;
        QTest::newRow("trailing text") << QByteArray("12a") << 12.0;
        QTest::newRow("not a number") << QByteArray("abc") << 0.0;
        QTest::newRow("blanks and tab") << QByteArray(" \t 7") << 7.0;
        QTest::newRow("plus") << QByteArray("+4") << 4.0;
        QTest::newRow("point first") << QByteArray(" -.5 ") << -0.5;
        QTest::newRow("exponent") << QByteArray("1e2x") << 100.0;
        QTest::newRow("exponent without digits") << QByteArray("12e") << 12.0;
        QTest::newRow("sign and point alone") << QByteArray("-.") << 0.0;
        QTest::newRow("overflow") << QByteArray("1e999") << 0.0;
    }
    void leading_number()
    {
        QFETCH(QByteArray, text);
        QTEST(durnmoor::leading_number(text.toStdString()), "value");
    }

    // Never the exponent form, which other readers of the file would take for 1.
    void forms_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("twelve") << 12.0 << QByteArray(" 12 ") << QByteArray("12");
        QTest::newRow("negative zero") << -0.0 << QByteArray(" 0 ") << QByteArray("0");
        QTest::newRow("below one") << 0.5 << QByteArray(" .5 ") << QByteArray("0.5");
        QTest::newRow("negative fraction") << -0.25 << QByteArray("-.25 ") << QByteArray("-0.25");
        QTest::newRow("hundred thousand") << 1e5 << QByteArray(" 100000 ") << QByteArray("100000");
        QTest::newRow("tiny") << 1e-7 << QByteArray(" .0000001 ") << QByteArray("0.0000001");
    }
    void forms()
    {
        QFETCH(double, value);
        QTEST(QByteArray::fromStdString(number_form(value)), "stored");
        QTEST(QByteArray::fromStdString(plain_number(value)), "plain");
        // What is written reads back as the same value.
        QCOMPARE(durnmoor::leading_number(number_form(value)), value);
    }
};

QTEST_GUILESS_MAIN(ProductsFileTest)
#include "tst_products_file.moc"
