#include "register/products_file.h"
#include "support/test_env.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

std::size_t count_lines(const std::string &bytes)
{
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

product_record with_line30(product_record record, const std::string &text)
{
    record[30] = text;
    return record;
}

ProductsData load(const QString &dir)
{
    DataFile file = DataFile::read(products_file(dir));
    return ProductsData(file.take_bytes());
}

// Rewrites the file keeping every record but the ones named, replacing one if asked.
WriteOutcome rewrite(const QString &dir, std::size_t drop = ProductsData::npos,
                     std::size_t replace = ProductsData::npos, const product_record *with = nullptr,
                     const product_record *append = nullptr)
{
    DataFile file = DataFile::read_for_rewrite(products_file(dir));
    const ProductsData data(file.take_bytes());
    ProductsRewrite out(data);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i == drop)
            continue;
        if (i == replace)
            out.write(*with);
        else
            out.copy(i);
    }
    if (append)
        out.write(*append);
    return file.replace(out.bytes());
}

} // namespace

class ProductsFileTest : public QObject {
    Q_OBJECT

private slots:
    void missing_file_is_created_empty()
    {
        TestEnv env;
        const ProductsData data = load(env.dir());
        QVERIFY(data.empty());
        QVERIFY(env.exists("products.dat"));
        QCOMPARE(env.read_file("products.dat"), std::string());
    }

    void three_instruments_are_150_lines_and_read_back()
    {
        TestEnv env;
        RecordFields quoted{"  A-1 ", "Probe, \"fast\" ,  set ", "OBSOLETE"};
        const std::vector<product_record> records{make_record({"1", "DMM"}), make_record(quoted),
                                                  make_record({"3", "Scope"})};
        env.write_file("products.dat", file_of({records[0], records[1]}));
        // Append through a rewrite so the writer, not the fixture, produces the file.
        QVERIFY(
            rewrite(env.dir(), ProductsData::npos, ProductsData::npos, nullptr, &records[2]).ok);
        const std::string bytes = env.read_file("products.dat");
        QCOMPARE(count_lines(bytes), std::size_t(150));
        QCOMPARE(bytes, file_of(records));

        const ProductsData data = load(env.dir());
        QCOMPARE(data.size(), std::size_t(3));
        QCOMPARE(data.record(1).lines, records[1].lines);
        QCOMPARE(data.line(1, description), std::string_view("Probe, \"fast\" ,  set "));
        QCOMPARE(data.find(instrument_no, "  A-1 "), std::size_t(1));
        QCOMPARE(data.find(instrument_no, "A-1"), ProductsData::npos); // keys are exact
        QCOMPARE(data.find(instrument_no, "3"), std::size_t(2));
    }

    void reserved_lines_survive_every_rewrite()
    {
        TestEnv env;
        const auto a = with_line30(make_record({"1", "A"}), "kept by another tool");
        const auto b = with_line30(make_record({"2", "B"}), "also kept");
        const auto c = make_record({"3", "C"});
        env.write_file("products.dat", file_of({a, b, c}));

        // Replace the second with a record whose reserved lines are its own.
        auto b2 = make_record({"2", "B changed"});
        b2[30] = b[30];
        QVERIFY(rewrite(env.dir(), ProductsData::npos, 1, &b2).ok);
        QCOMPARE(env.read_file("products.dat"), file_of({a, b2, c}));

        // Dropping the second keeps the others in their order: 100 lines.
        QVERIFY(rewrite(env.dir(), 1).ok);
        QCOMPARE(env.read_file("products.dat"), file_of({a, c}));
        QCOMPARE(count_lines(env.read_file("products.dat")), std::size_t(100));
    }

    void bytes_are_copied_as_they_are()
    {
        TestEnv env;
        product_record odd = make_record({"\xe9\xe8-\x01", "caf\xc3\xa9 \xff\xfe"});
        odd[45] = "\t tab and trailing blanks   ";
        env.write_file("products.dat", file_of({odd}));
        QVERIFY(rewrite(env.dir()).ok);
        QCOMPARE(env.read_file("products.dat"), file_of({odd}));
    }

    void bare_lf_is_read_and_written_as_crlf()
    {
        TestEnv env;
        const auto a = make_record({"1", "A"});
        std::string lf = file_of({a});
        std::string::size_type at;
        while ((at = lf.find("\r\n")) != std::string::npos)
            lf.replace(at, 2, "\n");
        env.write_file("products.dat", lf);
        const ProductsData data = load(env.dir());
        QCOMPARE(data.size(), std::size_t(1));
        QCOMPARE(data.record(0).lines, a.lines);
        QVERIFY(rewrite(env.dir()).ok);
        QCOMPARE(env.read_file("products.dat"), file_of({a}));
    }

    void damaged_last_record_is_kept_and_realigned_data()
    {
        QTest::addColumn<int>("lines_kept");
        QTest::addColumn<bool>("last_line_end");
        QTest::newRow("cut after 7 lines") << 7 << true;
        QTest::newRow("cut inside line 20") << 20 << false;
        QTest::newRow("one line") << 1 << true;
    }

    void damaged_last_record_is_kept_and_realigned()
    {
        QFETCH(int, lines_kept);
        QFETCH(bool, last_line_end);
        TestEnv env;
        const auto whole = make_record({"1", "Whole"});
        auto cut = make_record({"2", "Cut"});
        cut[20] = "partial";
        std::string bytes = file_of({whole});
        for (int n = 1; n <= lines_kept; ++n)
            bytes += cut[n] + (n < lines_kept || last_line_end ? "\r\n" : "");
        env.write_file("products.dat", bytes);

        const ProductsData data = load(env.dir());
        QCOMPARE(data.size(), std::size_t(2));
        product_record expected = cut;
        for (int n = lines_kept + 1; n <= product_line_count; ++n)
            expected[n].clear();
        QCOMPARE(data.record(1).lines, expected.lines);

        const auto added = make_record({"3", "Added"});
        QVERIFY(rewrite(env.dir(), ProductsData::npos, ProductsData::npos, nullptr, &added).ok);
        QCOMPARE(env.read_file("products.dat"), file_of({whole, expected, added}));
        QCOMPARE(load(env.dir()).record(2).lines, added.lines);
    }

    // Stray line ends after the last record are no instrument, and a rewrite may drop them.
    void empty_lines_after_the_last_record_are_no_record_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("records");
        QTest::newRow("one stray line end") << QByteArray("\r\n") << 1;
        QTest::newRow("bare line ends") << QByteArray("\n\n\n") << 1;
        QTest::newRow("an empty line then content") << QByteArray("\r\nX\r\n") << 2;
    }
    void empty_lines_after_the_last_record_are_no_record()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, records);
        const auto a = make_record({"1", "A"});
        QCOMPARE(ProductsData(file_of({a}) + tail.toStdString()).size(), std::size_t(records));
        QCOMPARE(ProductsData(tail.toStdString()).size(), std::size_t(records - 1));
    }

    void failed_rewrite_leaves_the_file_untouched()
    {
        TestEnv env;
        const std::string before = file_of({make_record({"1", "A"}), make_record({"2", "B"})});
        env.write_file("products.dat", before);
        QVERIFY(QDir(env.dir()).mkdir("products2.dat"));
        const auto outcome = rewrite(env.dir(), 0);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.file, QStringLiteral("products2.dat"));
        QCOMPARE(env.read_file("products.dat"), before);
    }
};

QTEST_GUILESS_MAIN(ProductsFileTest)
#include "tst_products_file.moc"
