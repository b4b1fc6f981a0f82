// products.dat as read and rewritten record by record, the writers that refuse a field with
// a line break, and the number form of the interval line; fields too long for a text box go
// back whole through the main window.
#include "access/accounts_file.h"
#include "contacts/contacts_file.h"
#include "register/products_file.h"
#include "support/window_fixture.h"
#include "text/number_form.h"

using namespace durnmoor;
using namespace durnmoor::test;

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
        std::string cut20 = file_of({a});
        for (int n = 1; n <= 20; ++n)
            cut20 += cut[n] + (n < 20 ? "\r\n" : ""); // the last line end missing too
        const std::string lf =
            QByteArray::fromStdString(file_of({a})).replace('\r', "").toStdString();
        // clang-format off
        QTest::newRow("bytes as they are") << file_of({a, odd}) << 2 << file_of({a, odd});
        QTest::newRow("bare LF") << lf << 1 << file_of({a});
        QTest::newRow("cut inside line 20") << cut20 << 2 << file_of({a, cut});
        QTest::newRow("one line") << file_of({a}) + "2\r\n" << 2 << file_of({a, with({}, {{1, "2"}})});
        QTest::newRow("stray line ends") << file_of({a}) + "\r\n\n\n" << 1 << file_of({a});
        QTest::newRow("stray line ends alone") << std::string("\r\n\n") << 0 << std::string();
        QTest::newRow("an empty line, then content") << file_of({a}) + "\r\nX\r\n" << 2
            << file_of({a, with({}, {{2, "X"}})});
        // clang-format on
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
        QCOMPARE(rewrite.bytes(), rewritten + file_of({added}));
        QCOMPARE(ProductsData(rewrite.bytes()).record(data.size()).lines, added.lines);
    }

    // Whatever path a field comes by, a line break in it never reaches a record file: the
    // writer refuses the record, the file stays as it was and the user is told which field.
    void record_writers_refuse_line_breaks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<std::string>("field");
        QTest::addColumn<QString>("named");
        // clang-format off
        QTest::newRow("number, LF") << "products.dat" << 1 << std::string("LB-1\nEVIL") << "Instrument No";
        QTest::newRow("purchase order, CR") << "products.dat" << 19 << std::string("PO\r") << "Purchase Order No";
        QTest::newRow("reserved line, CR LF") << "products.dat" << 30 << std::string("\r\n") << "line 30 of the record";
        QTest::newRow("e-mail address") << "contacts.dat" << 12 << std::string("a@b\nc") << "E-Mail Address";
        QTest::newRow("password") << "security.dat" << 2 << std::string("pw\n") << "Password";
        // clang-format on
    }
    void record_writers_refuse_line_breaks()
    {
        QFETCH(QString, file);
        QFETCH(int, line);
        TestEnv env;
        const std::string old = crlf_lines({"kept"}); // a record cut short, read padded
        env.write_file(file, old);
        const DataFilePlace place = file == "products.dat"   ? products_file(env.dir())
                                    : file == "contacts.dat" ? contacts_file(env.dir())
                                                             : accounts_file(env.dir());
        DataFile data = DataFile::read_for_rewrite(place);
        const auto records =
            file == "products.dat"   ? std::unique_ptr<RecordFile>(new ProductsData(data.bytes()))
            : file == "contacts.dat" ? std::unique_ptr<RecordFile>(new ContactsData(data.bytes()))
                                     : std::unique_ptr<RecordFile>(new AccountsData(data.bytes()));
        RecordRewrite rewrite(*records);
        rewrite.copy(0);
        std::vector<std::string> lines(std::size_t(records->record_lines()), "x");
        QVERIFY(rewrite.write(lines)); // a whole record goes in
        QFETCH(std::string, field);
        lines[std::size_t(line - 1)] = field;
        QVERIFY(!rewrite.write(lines));
        QCOMPARE(rewrite.refused_line(), std::optional<int>(line));

        QFETCH(QString, named);
        QCOMPARE(replace_with(data, rewrite).reason,
                 "The field \"" + named + "\" holds a line break, which would split the record.");
        QCOMPARE(env.read_file(file), old);
        QVERIFY(!env.exists(QFileInfo(place.twin_path).fileName()));
    }

    // The interval line: the leading number of what is stored or typed, and the form it is
    // stored in, which reads back as the same value. Never the exponent form, which other
    // readers of the file would take for 1.
    void number_forms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("stored");
        // clang-format off
        QTest::newRow("blanks, tab and plus") << QByteArray(" \t +7") << 7.0 << QByteArray(" 7 ");
        QTest::newRow("point first") << QByteArray(" -.5 ") << -0.5 << QByteArray("-.5 ");
        QTest::newRow("negative zero") << QByteArray("-0") << -0.0 << QByteArray(" 0 ");
        QTest::newRow("exponent") << QByteArray("1e5x") << 1e5 << QByteArray(" 100000 ");
        QTest::newRow("exponent without digits") << QByteArray("12e") << 12.0 << QByteArray(" 12 ");
        QTest::newRow("tiny") << QByteArray("1E-7") << 1e-7 << QByteArray(" .0000001 ");
        QTest::newRow("sign and point alone") << QByteArray("-.") << 0.0 << QByteArray(" 0 ");
        QTest::newRow("overflow") << QByteArray("1e999") << 0.0 << QByteArray(" 0 ");
        // clang-format on
    }
    void number_forms()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(leading_number(text.toStdString()), value);
        QTEST(QByteArray::fromStdString(number_form(value)), "stored");
        QCOMPARE(leading_number(number_form(value)), value);
    }

    // Lines far beyond a text box's usual limit, left alone while another field changes.
    void long_fields_are_written_back_whole()
    {
        product_record big = make_record({std::string(1 << 17, 'N'), "Probe"});
        big[serial_no] = std::string(40000, 's');
        WindowFixture fx({file_of({big})});
        fx.run("row=0; Command13; Text2=Changed; Yes; Command4");
        QVERIFY(fx.products() == file_of({with(big, {{description, "Changed"}})}));
        QCOMPARE(Messages::shown().size(), std::size_t(1)); // the overwrite question
    }
};

QTEST_MAIN(ProductsFileTest)
#include "tst_products_file.moc"
