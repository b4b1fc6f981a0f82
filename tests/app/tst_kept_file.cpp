// A parsed file kept between operations is used only while the file has not changed: any
// change, by this program or another, is seen at the next read.
#include "app/kept_file.h"
#include "register/products_file.h"
#include "support/test_env.h"

#include <cerrno>
#include <cstdio>

using namespace durnmoor;
using durnmoor::test::TestEnv;

class KeptFileTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        set_file_fault(nullptr);
        set_settling_time(std::nullopt);
    }

    void changes_are_seen_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("settled"); // the file's last change is old enough to trust
        QTest::addColumn<bool>("read_again");
        QTest::newRow("untouched") << "" << true << false;
        QTest::newRow("untouched, changed moments ago") << "" << false << true;
        QTest::newRow("same size, in place") << "in place" << true << true;
        QTest::newRow("replaced by another program") << "replaced" << true << true;
        QTest::newRow("rewritten by this program") << "own" << false << false;
    }
    void changes_are_seen()
    {
        QFETCH(QString, change);
        QFETCH(bool, settled);
        QFETCH(bool, read_again);
        TestEnv env;
        set_settling_time(settled ? 0 : 3'600'000'000'000);
        const DataFilePlace place = products_file(env.dir());
        env.write_file("products.dat", std::string(50 * 3, '\n'));
        KeptFile<ProductsData> kept;
        DataFile first = DataFile::read(place, kept.identity());
        const auto before = kept.take(first);

        if (change == "in place") {
            QTest::qWait(20); // past the file system's clock tick
            env.write_file("products.dat", std::string(50 * 3, '\r'));
        } else if (change == "replaced") {
            env.write_file("products2.dat", "");
            QCOMPARE(std::rename(env.path("products2.dat").toLocal8Bit().constData(),
                                 env.path("products.dat").toLocal8Bit().constData()),
                     0);
        } else if (change == "own") {
            DataFile file = DataFile::read_for_rewrite(place, kept.identity());
            const std::string written(50 * 2, '\n');
            QVERIFY(file.replace(written).ok);
            kept.keep_written(file, written);
        }

        // A read that happens fails: reusing the kept copy is the only way to succeed.
        set_file_fault(
            [](FileStep step, const QString &) { return step == FileStep::read ? EIO : 0; });
        DataFile second = DataFile::read(place, kept.identity());
        QCOMPARE(!second.ok(), read_again);
        const auto after = kept.take(second);
        QCOMPARE(after == before, !read_again && change.isEmpty());
        if (!read_again)
            QCOMPARE(after->size(), change == "own" ? std::size_t(2) : std::size_t(3));
    }
};

QTEST_GUILESS_MAIN(KeptFileTest)
#include "tst_kept_file.moc"
