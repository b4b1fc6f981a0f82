// Writers killed at random moments, and two writers at once: the data file always reads as
// one whole version, and no change is lost.
#include "app/data_file.h"
#include "support/test_env.h"
#include "support/writer_contents.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

using namespace durnmoor;
using durnmoor::test::TestEnv;

class CrashRewriteTest : public QObject {
    Q_OBJECT

private slots:
    void killed_writer_leaves_a_whole_file()
    {
        TestEnv env;
        const std::string first = test::writer_content(0);
        const std::string second = test::writer_content(1);
        env.write_file("products.dat", first);
        QRandomGenerator random(20261206);
        QElapsedTimer spent;
        spent.start();
        int kills = 0;
        int changed = 0;
        std::string last = first;
        // A few hundred kills, within a bound CI can afford.
        while (kills < 300 && spent.elapsed() < 60000) {
            QProcess writer;
            writer.start(QStringLiteral(DATA_FILE_WRITER), {"flip", env.dir()});
            QVERIFY(writer.waitForStarted());
            // Mostly early in a rewrite; now and then late enough for several to finish,
            // however slowly the machine starts processes.
            QThread::usleep(kills % 20 == 0 ? 300000 : random.bounded(1000, 40000));
            writer.kill();
            QVERIFY(writer.waitForFinished());
            ++kills;
            const std::string now = env.read_file("products.dat");
            QVERIFY2(now == first || now == second,
                     qPrintable(QString("after kill %1").arg(kills)));
            changed += now != last;
            last = now;
        }
        QVERIFY(kills >= 100);
        QVERIFY2(changed > 0, "no writer got as far as a rename");
        // The next rewrite copes with whatever twin the last kill left behind.
        DataFile file =
            DataFile::read_for_rewrite({env.path("products.dat"), env.path("products2.dat")});
        QVERIFY(file.replace("after\r\n").ok);
        QCOMPARE(env.read_file("products.dat"), std::string("after\r\n"));
        QVERIFY(!env.exists("products2.dat"));
    }

    void two_writers_lose_no_change()
    {
        TestEnv env;
        env.write_file("products.dat", "0\r\n");
        QProcess a;
        QProcess b;
        a.start(QStringLiteral(DATA_FILE_WRITER), {"count", env.dir(), "150"});
        b.start(QStringLiteral(DATA_FILE_WRITER), {"count", env.dir(), "150"});
        QVERIFY(a.waitForFinished(60000));
        QVERIFY(b.waitForFinished(60000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        QCOMPARE(env.read_file("products.dat"), std::string("300\r\n"));
    }
};

QTEST_GUILESS_MAIN(CrashRewriteTest)
#include "tst_crash_rewrite.moc"
