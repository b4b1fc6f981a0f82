// Reading and rewriting data files: a failed read is never an empty file, and no failed
// step of a rewrite touches the data file.
#include "app/data_file.h"
#include "app/single_instance.h"
#include "app/text_lines.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace durnmoor;
using durnmoor::test::TestEnv;

namespace {

DataFilePlace place_in(const TestEnv &env)
{
    return {env.path("products.dat"), env.path("products2.dat")};
}

mode_t mode_of(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// Plants one failing step for the life of the object.
struct PlantedFault {
    PlantedFault(FileStep step, const QString &file, int error)
    {
        set_file_fault([=](FileStep at, const QString &name) {
            return at == step && name == file ? error : 0;
        });
    }
    ~PlantedFault() { set_file_fault(nullptr); }
};

} // namespace

Q_DECLARE_METATYPE(FileStep)

class DataFileTest : public QObject {
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
        QTest::newRow("no last line end")
            << QByteArray("a\r\nb") << QStringList{"a", "b"} << QList<bool>{true, false};
        QTest::newRow("empty lines") << QByteArray("\r\n\n\r\n") << QStringList{"", "", ""}
                                     << QList<bool>{true, false, true};
        QTest::newRow("lone cr is content")
            << QByteArray("a\rb\r\n") << QStringList{"a\rb"} << QList<bool>{true};
    }

    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QList<bool>, crlf);
        LineCursor cursor(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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

    void missing_file_is_created_empty_and_read_as_no_records()
    {
        TestEnv env;
        const DataFile file = DataFile::read(place_in(env));
        QVERIFY(file.ok());
        QVERIFY(file.bytes().empty());
        QVERIFY(env.exists("products.dat"));
    }

    // Every way a read can fail is a failure with a reason, never an empty register, and
    // a file read that way refuses to be rewritten.
    void failed_read_is_not_an_empty_file_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem");
        QTest::newRow("refused open") << "open" << QString::fromLocal8Bit(strerror(EACCES));
        QTest::newRow("i/o error") << "read" << QString::fromLocal8Bit(strerror(EIO));
        QTest::newRow("lock error") << "lock" << QString::fromLocal8Bit(strerror(EIO));
        QTest::newRow("directory") << "directory"
                                   << "It is not a regular file.";
        QTest::newRow("fifo") << "fifo"
                              << "It is not a regular file.";
    }
    void failed_read_is_not_an_empty_file()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        TestEnv env;
        const std::string before = "A-1\r\nkept\r\n";
        std::unique_ptr<PlantedFault> fault;
        if (kind == "open")
            fault = std::make_unique<PlantedFault>(FileStep::open, "products.dat", EACCES);
        else if (kind == "read")
            fault = std::make_unique<PlantedFault>(FileStep::read, "products.dat", EIO);
        else if (kind == "lock")
            fault = std::make_unique<PlantedFault>(FileStep::lock, "products.dat", EIO);
        if (kind == "directory")
            QVERIFY(QDir(env.dir()).mkdir("products.dat"));
        else if (kind == "fifo") // opening it for reading would wait for a writer for ever
            QCOMPARE(::mkfifo(QFile::encodeName(env.path("products.dat")).constData(), 0600), 0);
        else
            env.write_file("products.dat", before);

        DataFile file = DataFile::read_for_rewrite(place_in(env));
        QVERIFY(!file.ok());
        QCOMPARE(file.problem(), problem);
        QCOMPARE(file.file_name(), QStringLiteral("products.dat"));
        QVERIFY(file.bytes().empty());
        const WriteOutcome outcome = file.replace("new\r\n");
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.reason, problem);
        QVERIFY(!env.exists("products2.dat"));
        if (kind != "directory" && kind != "fifo")
            QCOMPARE(env.read_file("products.dat"), before);
    }

    void a_file_read_for_showing_cannot_be_rewritten()
    {
        TestEnv env;
        env.write_file("products.dat", "keep\r\n");
        DataFile file = DataFile::read(place_in(env));
        QVERIFY(file.ok());
        QVERIFY(!file.replace("new\r\n").ok);
        QCOMPARE(env.read_file("products.dat"), std::string("keep\r\n"));
    }

    void rewrite_replaces_the_file_and_leaves_no_twin()
    {
        TestEnv env;
        env.write_file("products.dat", "old\r\n");
        env.write_file("products2.dat", std::string(1000, 'x')); // stale, from a crash
        DataFile file = DataFile::read_for_rewrite(place_in(env));
        QCOMPARE(file.bytes(), std::string("old\r\n"));
        QVERIFY(file.replace("new\r\nbytes\r\n").ok);
        QCOMPARE(env.read_file("products.dat"), std::string("new\r\nbytes\r\n"));
        QVERIFY(!env.exists("products2.dat"));
        QVERIFY(!file.replace("again\r\n").ok); // what it read is no longer the file
    }

    // A link planted under the twin's name is removed, never written through.
    void twin_link_is_never_followed()
    {
        TestEnv env;
        env.write_file("products.dat", "old\r\n");
        env.write_file("other", "someone else's file\n");
        QVERIFY(QFile::link(env.path("other"), env.path("products2.dat")));
        DataFile file = DataFile::read_for_rewrite(place_in(env));
        QVERIFY(file.replace("new\r\n").ok);
        QCOMPARE(env.read_file("other"), std::string("someone else's file\n"));
        QCOMPARE(env.read_file("products.dat"), std::string("new\r\n"));
        QVERIFY(!QFileInfo(env.path("products.dat")).isSymLink());
        QVERIFY(!QFileInfo::exists(env.path("products2.dat")));
    }

    void rewrite_keeps_the_mode_of_the_file_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("owner only") << 0600;
        QTest::newRow("group may read") << 0640;
        QTest::newRow("read-only file") << 0444;
    }
    void rewrite_keeps_the_mode_of_the_file()
    {
        QFETCH(int, mode);
        TestEnv env;
        env.write_file("products.dat", "old\r\n");
        QCOMPARE(::chmod(QFile::encodeName(env.path("products.dat")).constData(), mode_t(mode)), 0);
        DataFile file = DataFile::read_for_rewrite(place_in(env));
        QVERIFY(file.replace("new\r\n").ok);
        QCOMPARE(int(mode_of(env.path("products.dat"))), mode);
    }

    void new_files_take_the_users_default_or_owner_only()
    {
        TestEnv env;
        const mode_t mask = ::umask(022);
        QVERIFY(DataFile::read(place_in(env)).ok());
        QVERIFY(DataFile::read({env.path("security.dat"), env.path("security.dat2"), true}).ok());
        ::umask(mask);
        QCOMPARE(int(mode_of(env.path("products.dat"))), 0644);
        QCOMPARE(int(mode_of(env.path("security.dat"))), 0600);
    }

    // Each step of the twin failing in turn: the data file survives byte for byte, the
    // twin is gone, and the file that failed is named.
    void failed_step_leaves_the_file_data()
    {
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<QString>("named");
        QTest::newRow("stale twin cannot go") << FileStep::remove_twin << "products2.dat";
        QTest::newRow("twin cannot be made") << FileStep::create_twin << "products2.dat";
        QTest::newRow("disk full") << FileStep::write_twin << "products2.dat";
        QTest::newRow("flush refused") << FileStep::sync_twin << "products2.dat";
        QTest::newRow("rename refused") << FileStep::rename << "products.dat";
    }
    void failed_step_leaves_the_file()
    {
        QFETCH(FileStep, step);
        QFETCH(QString, named);
        TestEnv env;
        env.write_file("products.dat", "keep\r\n");
        const PlantedFault fault(step, named, ENOSPC);
        DataFile file = DataFile::read_for_rewrite(place_in(env));
        const WriteOutcome outcome = file.replace(std::string(100000, 'y'));
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.data_file, QStringLiteral("products.dat"));
        QCOMPARE(outcome.file, named);
        QCOMPARE(outcome.reason, QString::fromLocal8Bit(strerror(ENOSPC)));
        QCOMPARE(env.read_file("products.dat"), std::string("keep\r\n"));
        if (step != FileStep::remove_twin)
            QVERIFY(!env.exists("products2.dat"));
    }

    void twin_name_taken_by_a_folder_is_reported()
    {
        TestEnv env;
        env.write_file("products.dat", "keep\r\n");
        QVERIFY(QDir(env.dir()).mkdir("products2.dat"));
        DataFile file = DataFile::read_for_rewrite(place_in(env));
        const WriteOutcome outcome = file.replace("new\r\n");
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.file, QStringLiteral("products2.dat"));
        QCOMPARE(env.read_file("products.dat"), std::string("keep\r\n"));
    }

    // A second rewrite waits for the first to end, then works on the file the first wrote,
    // so that neither change is lost.
    void rewrites_never_interleave()
    {
        TestEnv env;
        env.write_file("products.dat", "1\r\n");
        DataFile first = DataFile::read_for_rewrite(place_in(env));
        QVERIFY(first.ok());
        auto second = std::async(std::launch::async, [&] {
            DataFile file = DataFile::read_for_rewrite(place_in(env));
            const std::string seen = file.bytes();
            file.replace(seen + "3\r\n");
            return seen;
        });
        QCOMPARE(second.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
        QVERIFY(first.replace(first.bytes() + "2\r\n").ok);
        QCOMPARE(second.get(), std::string("1\r\n2\r\n"));
        QCOMPARE(env.read_file("products.dat"), std::string("1\r\n2\r\n3\r\n"));
    }

    // One copy per data folder, however the folder is reached; the lock goes with its holder.
    void one_copy_per_data_folder()
    {
        TestEnv env;
        TestEnv other;
        auto first = std::make_unique<SingleInstance>(env.dir());
        QVERIFY(first->acquired());
        QVERIFY(!SingleInstance(env.dir()).acquired());
        QVERIFY(!SingleInstance(env.dir() + "/.").acquired());
        QVERIFY(QFile::link(env.dir(), other.path("same folder")));
        QVERIFY(!SingleInstance(other.path("same folder")).acquired());
        QVERIFY(SingleInstance(other.dir()).acquired());
        first.reset();
        QVERIFY(SingleInstance(env.dir()).acquired());
    }
};

QTEST_GUILESS_MAIN(DataFileTest)
#include "tst_data_file.moc"
