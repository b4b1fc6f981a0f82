// Reading and rewriting data files: a failed read is never an empty file, and no failed
// step of a rewrite touches the data file.
#include "app/data_file.h"
#include "app/single_instance.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <future>
#include <sys/stat.h>

using namespace durnmoor;
using durnmoor::test::TestEnv;

Q_DECLARE_METATYPE(FileStep)

namespace {

DataFilePlace place_in(const TestEnv &env, bool owner_only = false)
{
    return {env.path("products.dat"), env.path("products2.dat"), owner_only};
}

} // namespace

class DataFileTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_file_fault(nullptr); }

    // Every way a read or a step of the rewrite can fail: a failure that names the file and
    // says why, never an empty register, and the data file left byte for byte, with no twin.
    void failures_data()
    {
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<QString>("named");
        QTest::addColumn<int>("error"); // 0: nothing planted, but no regular file in place
        QTest::addColumn<QString>("in_place");
        // clang-format off
        QTest::newRow("refused open") << FileStep::open << "products.dat" << EACCES << "";
        QTest::newRow("i/o error") << FileStep::read << "products.dat" << EIO << "";
        QTest::newRow("lock error") << FileStep::lock << "products.dat" << EIO << "";
        QTest::newRow("directory") << FileStep::open << "products.dat" << 0 << "directory";
        // Opened for reading, a FIFO would wait for a writer for ever.
        QTest::newRow("fifo") << FileStep::open << "products.dat" << 0 << "fifo";
        QTest::newRow("stale twin cannot go") << FileStep::remove_twin << "products2.dat" << ENOSPC
                                              << "";
        QTest::newRow("twin cannot be made") << FileStep::create_twin << "products2.dat" << ENOSPC
                                             << "";
        QTest::newRow("disk full") << FileStep::write_twin << "products2.dat" << ENOSPC << "";
        QTest::newRow("flush refused") << FileStep::sync_twin << "products2.dat" << ENOSPC << "";
        QTest::newRow("rename refused") << FileStep::rename << "products.dat" << ENOSPC << "";
        // clang-format on
    }
    void failures()
    {
        QFETCH(FileStep, step);
        QFETCH(QString, named);
        QFETCH(int, error);
        QFETCH(QString, in_place);
        TestEnv env;
        set_file_fault([=](FileStep at, const QString &file) {
            return at == step && file == named ? error : 0;
        });
        if (in_place == "directory")
            QVERIFY(QDir(env.dir()).mkdir("products.dat"));
        else if (in_place == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(env.path("products.dat")).constData(), 0600), 0);
        else
            env.write_file("products.dat", "keep\r\n");
        const bool read_fails =
            step == FileStep::open || step == FileStep::read || step == FileStep::lock;
        const QString problem =
            error ? QString::fromLocal8Bit(strerror(error)) : "It is not a regular file.";

        DataFile file = DataFile::read_for_rewrite(place_in(env));
        QCOMPARE(file.ok(), !read_fails);
        QCOMPARE(file.problem(), read_fails ? problem : QString());
        QCOMPARE(file.bytes(), read_fails ? "" : "keep\r\n");
        const WriteOutcome outcome = file.replace(std::string(100000, 'y'));
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.data_file + ' ' + outcome.file + ": " + outcome.reason,
                 "products.dat " + named + ": " + problem);
        QVERIFY(!env.exists("products2.dat"));
        if (in_place.isEmpty()) // a folder or FIFO stays, and cannot be read as a file
            QCOMPARE(env.read_file("products.dat"), "keep\r\n");
    }

    // A link planted under the twin's name is removed, never written through; a file read
    // for showing, or already rewritten, is not rewritten.
    void rewrite_goes_through_a_twin_made_anew()
    {
        TestEnv env;
        env.write_file("products.dat", "old\r\n");
        QVERIFY(!DataFile::read(place_in(env)).replace("shown only\r\n").ok);
        env.write_file("other", "someone else's file\n");
        QVERIFY(QFile::link(env.path("other"), env.path("products2.dat")));
        DataFile file = DataFile::read_for_rewrite(place_in(env));
        QCOMPARE(file.bytes(), "old\r\n");
        QVERIFY(file.replace("new\r\nbytes\r\n").ok);
        QVERIFY(!file.replace("again\r\n").ok);
        QCOMPARE(env.read_file("products.dat"), "new\r\nbytes\r\n");
        QCOMPARE(env.read_file("other"), "someone else's file\n");
        QVERIFY(!QFileInfo(env.path("products.dat")).isSymLink());
        QVERIFY(!QFileInfo(env.path("products2.dat")).isSymLink() && !env.exists("products2.dat"));
    }

    // A rewrite keeps the file's mode; a missing file is made empty, with the user's default
    // mode or, for a private file, the owner's only.
    void modes_data()
    {
        QTest::addColumn<int>("mode"); // of the file before: 0 for none
        QTest::addColumn<bool>("owner_only");
        QTest::addColumn<int>("after");
        QTest::newRow("group may read") << 0640 << false << 0640;
        QTest::newRow("read-only file") << 0444 << false << 0444;
        QTest::newRow("made for everyone") << 0 << false << 0644;
        QTest::newRow("made private") << 0 << true << 0600;
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(bool, owner_only);
        TestEnv env;
        const QByteArray path = QFile::encodeName(env.path("products.dat"));
        if (mode) {
            env.write_file("products.dat", "old\r\n");
            QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
        }
        const mode_t mask = ::umask(022);
        DataFile file = DataFile::read_for_rewrite(place_in(env, owner_only));
        ::umask(mask);
        QCOMPARE(file.bytes(), mode ? "old\r\n" : "");
        QVERIFY(file.replace("new\r\n").ok);
        struct stat st {};
        QCOMPARE(::stat(path.constData(), &st), 0);
        QTEST(int(st.st_mode & 07777), "after");
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
        QCOMPARE(second.get(), "1\r\n2\r\n");
        QCOMPARE(env.read_file("products.dat"), "1\r\n2\r\n3\r\n");
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
