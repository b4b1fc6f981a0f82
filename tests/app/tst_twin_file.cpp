#include "app/text_lines.h"
#include "app/twin_file.h"
#include "support/test_env.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace durnmoor;
using durnmoor::test::TestEnv;


class TwinFileTest : public QObject {
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<bool>>("crlf");
        QTest::newRow("empty") << QByteArray() << QStringList() << QList<bool>();
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"}
                              << QList<bool>{true, true};
        QTest::newRow("bare lf") << QByteArray("a\nb\n") << QStringList{"a", "b"}
                                 << QList<bool>{false, false};
        QTest::newRow("no last line end") << QByteArray("a\r\nb") << QStringList{"a", "b"}
                                          << QList<bool>{true, false};
        QTest::newRow("empty lines") << QByteArray("\r\n\n\r\n") << QStringList{"", "", ""}
                                     << QList<bool>{true, false, true};
        QTest::newRow("lone cr is content") << QByteArray("a\rb\r\n") << QStringList{"a\rb"}
                                            << QList<bool>{true};
    }

    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QList<bool>, crlf);
        LineCursor cursor(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        QStringList read;
        QList<bool> ends;
        std::string_view line;
        while (cursor.next(line)) {
            read << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
            ends << cursor.last_was_crlf();
        }
        QCOMPARE(read, lines);
        QCOMPARE(ends, crlf);
    }

    void replaces_the_data_file_and_leaves_no_twin()
    {
        TestEnv env;
        env.write_file("products.dat", "old\r\n");
        env.write_file("products2.dat", std::string(1000, 'x')); // stale, from a crash
        const auto outcome = replace_through_twin(env.path("products.dat"),
                                                  env.path("products2.dat"), "new\r\nbytes\r\n");
        QVERIFY(outcome.ok);
        QCOMPARE(env.read_file("products.dat"), std::string("new\r\nbytes\r\n"));
        QVERIFY(!env.exists("products2.dat"));
    }

    void twin_that_cannot_be_opened_leaves_the_file()
    {
        TestEnv env;
        env.write_file("products.dat", "keep\r\n");
        QVERIFY(QDir(env.dir()).mkdir("products2.dat")); // the twin's name is taken by a folder
        const auto outcome = replace_through_twin(env.path("products.dat"),
                                                  env.path("products2.dat"), "new\r\n");
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.file, QStringLiteral("products2.dat"));
        QVERIFY(!outcome.reason.isEmpty());
        QCOMPARE(env.read_file("products.dat"), std::string("keep\r\n"));
    }

    void refused_rename_leaves_the_file_and_removes_the_twin()
    {
        TestEnv env;
        env.write_file("products.dat", "keep\r\n");
        // The rename target's folder does not exist, so the last step is refused.
        const auto outcome = replace_through_twin(env.path("missing/products.dat"),
                                                  env.path("products2.dat"), "new\r\n");
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.file, QStringLiteral("products.dat"));
        QVERIFY(!env.exists("products2.dat"));
        QCOMPARE(env.read_file("products.dat"), std::string("keep\r\n"));
    }

    void write_that_fails_part_way_leaves_the_file()
    {
        TestEnv env;
        env.write_file("products.dat", "keep\r\n");
        // Limit the size of any file this process writes, so the twin fills up part way.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto outcome = replace_through_twin(env.path("products.dat"),
                                                  env.path("products2.dat"), std::string(100000, 'y'));
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.file, QStringLiteral("products2.dat"));
        QVERIFY(!env.exists("products2.dat"));
        QCOMPARE(env.read_file("products.dat"), std::string("keep\r\n"));
    }
};

QTEST_GUILESS_MAIN(TwinFileTest)
#include "tst_twin_file.moc"
