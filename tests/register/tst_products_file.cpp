// products.dat as read and rewritten record by record, and the writers that refuse a field
// with a line break. (Fields too long for a text box, written back whole: the history tab's
// test of the due date shown.)
#include "access/accounts_file.h"
#include "contacts/contacts_file.h"
#include "register/products_file.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

class ProductsFileTest : public QObject {
    Q_OBJECT

private slots:
    // The records read from a file as other tools leave it, and what a rewrite that copies
    // every record and appends one writes: a record cut short filled up with empty lines, and
    // stray line ends after the last record no instrument. (Whole records kept byte for byte,
    // of any bytes and line ends: the record files' fuzz target.)
    void read_and_rewritten_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<std::string>("rewritten");
        const product_record a = with(make_record({"1", "A"}), {{20, "first reserved"}});
        const product_record cut = with(make_record({"2", "Cut"}), {{20, "partial"}});
        std::string cut20 = file_of({a});
        for (int n = 1; n <= 20; ++n)
            cut20 += cut[n] + (n < 20 ? "\r\n" : ""); // the last line end missing too
        // clang-format off
        QTest::newRow("cut inside line 20") << cut20 << 2 << file_of({a, cut});
        QTest::newRow("one line") << file_of({a}) + "2\r\n" << 2 << file_of({a, with({}, {{1, "2"}})});
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
};

QTEST_MAIN(ProductsFileTest)
#include "tst_products_file.moc"
