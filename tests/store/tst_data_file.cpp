// Where the data files live, reading and rewriting them: a failed read is never an empty
// file, no failed step of a rewrite touches the data file (nor, for a change to two files,
// either of them), and a file kept parsed is read again once it changed. Writers racing each
// other lose no change.
#include "access/accounts_file.h"
#include "calibration/history_file.h"
#include "contacts/contacts_file.h"
#include "register/products_file.h"
#include "store/data_file.h"
#include "store/data_folder.h"
#include "store/kept_file.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(FileStep)

namespace {

// Each data file where the program keeps it.
DataFilePlace place_of(const TestEnv &env, const QString &file)
{
    return file == "security.dat"   ? accounts_file(env.dir())
           : file == "history.dat"  ? history_file(env.dir())
           : file == "contacts.dat" ? contacts_file(env.dir())
                                    : products_file(env.dir());
}

int mode_of(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The steps of a rewrite after the read, each of which may fail.
const std::pair<FileStep, const char *> rewrite_steps[] = {
    {FileStep::remove_twin, "stale twin cannot go"},
    {FileStep::create_twin, "twin cannot be made"},
    {FileStep::write_twin, "disk full"},
    {FileStep::sync_twin, "flush refused"},
    {FileStep::rename, "rename refused"}};

// The file a step works on: the data file's twin while it is made, else the data file.
QString failing(FileStep step, QString data)
{
    return step > FileStep::lock && step < FileStep::rename ? data.replace(".dat", "2.dat") : data;
}

// A writer in a process of its own that rewrites products.dat the way the program does, times
// times over, each time with what next makes of what the file held; it ends with 1 as soon as
// a rewrite fails.
pid_t start_writer(const TestEnv &env, std::string (*next)(const std::string &), int times)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS}) // a crash ends the child outright
        std::signal(signal, SIG_DFL);
    int status = 0;
    try {
        for (int time = 0; time < times && status == 0; ++time) {
            DataFile file = DataFile::read_for_rewrite(products_file(env.dir()));
            status = file.ok() && file.replace(next(file.bytes())).ok ? 0 : 1;
        }
    } catch (...) {
        status = 2; // whatever escapes must end the child here, not run more tests
    }
    ::_exit(status);
}

int exit_status(pid_t pid)
{
    if (pid <= 0) // no writer: to waitpid, -1 would mean any child at all
        return -2;
    int status = -1;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class DataFileTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        set_file_fault(nullptr);
        set_settling_time(std::nullopt);
        set_whole_second_times(false);
    }
    void chooses_the_folder_of_the_data_files_data()
    {
        QTest::addColumn<QString>("copy");    // own or installed
        QTest::addColumn<QByteArray>("kept"); // a register already in the user's folder
        QTest::newRow("own folder") << "own" << QByteArray();
        QTest::newRow("installed, first start") << "installed" << QByteArray();
        QTest::newRow("installed, register kept") << "installed" << QByteArray("1\r\nDMM\r\n");
    }
    void chooses_the_folder_of_the_data_files()
    {
        QFETCH(QString, copy);
        QFETCH(QByteArray, kept);
        TestEnv root;
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.path("home")));
        QCoreApplication::setApplicationName("Durnmoor");
        QCoreApplication::setOrganizationName("Durnmoor");
        // The user's folder is named once, not for the organisation and again for the program.
        const QString program = root.path("bin"), user = user_data_folder();
        QCOMPARE(user, root.path("home/Durnmoor"));
        const mode_t mask = ::umask(022);
        for (const char *folder : {"bin", copy == "installed" ? "share/durnmoor" : "share/other"})
            QDir(root.dir()).mkpath(folder);
        if (!kept.isEmpty() && QDir(root.dir()).mkpath("home/Durnmoor"))
            root.write_file("home/Durnmoor/products.dat", kept.toStdString());
        const QString chosen = choose_data_folder(program, user);
        ::umask(mask);
        QCOMPARE(chosen, copy == "own" ? program : user);
        QCOMPARE(QDir(user).exists(), copy != "own"); // made on first use only
        // The folder made for the user's records is the user's alone; one already there, and
        // the program's own folder, keep their modes.
        QCOMPARE(mode_of(program), 0755);
        if (copy != "own")
            QCOMPARE(mode_of(user), kept.isEmpty() ? 0700 : 0755);
    }

    // Every way a read or a step of the rewrite can fail: a failure that names the file and
    // says why, never an empty register, and the data file left byte for byte, with no twin.
    void failures_data()
    {
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<int>("error"); // 0: nothing planted, but no regular file in place
        QTest::addColumn<QString>("in_place");
        QTest::newRow("refused open") << FileStep::open << EACCES << "";
        QTest::newRow("i/o error") << FileStep::read << EIO << "";
        QTest::newRow("lock error") << FileStep::lock << EIO << "";
        QTest::newRow("directory") << FileStep::open << 0 << "directory";
        // Opened for reading, a FIFO would wait for a writer for ever.
        QTest::newRow("fifo") << FileStep::open << 0 << "fifo";
        for (const auto &[step, what] : rewrite_steps)
            QTest::newRow(what) << step << ENOSPC << "";
    }
    void failures()
    {
        QFETCH(FileStep, step);
        QFETCH(int, error);
        QFETCH(QString, in_place);
        TestEnv env;
        const QString named = failing(step, "products.dat");
        set_file_fault([=](FileStep at, const QString &file) {
            return at == step && file == named ? error : 0;
        });
        if (in_place == "directory")
            QVERIFY(QDir(env.dir()).mkdir("products.dat"));
        else if (in_place == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(env.path("products.dat")).constData(), 0600), 0);
        else
            env.write_file("products.dat", "keep\r\n");
        const bool read_fails = step <= FileStep::lock;
        const QString problem =
            error ? QString::fromLocal8Bit(strerror(error)) : "It is not a regular file.";

        DataFile file = DataFile::read_for_rewrite(products_file(env.dir()));
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

    // A file read a piece at a time hands over every byte in order, with the identity a whole
    // read gives, and is refused as a whole read is; a missing file is empty and is not made.
    void reads_in_pieces_data()
    {
        QTest::addColumn<QString>("in_place"); // "missing", "directory", or a size in bytes
        QTest::addColumn<int>("error");        // planted at the open
        QTest::newRow("missing") << "missing" << 0;
        QTest::newRow("empty") << "0" << 0;
        QTest::newRow("two pieces and a byte") << QString::number((2 << 20) + 1) << 0;
        QTest::newRow("directory") << "directory" << 0;
        QTest::newRow("refused open") << "10" << EACCES;
    }
    void reads_in_pieces()
    {
        QFETCH(QString, in_place);
        QFETCH(int, error);
        TestEnv env;
        set_settling_time(0);
        const auto settle_again = qScopeGuard([] { set_settling_time(std::nullopt); });
        set_file_fault(
            [=](FileStep at, const QString &) { return at == FileStep::open ? error : 0; });
        std::string bytes; // no two pieces alike, so that one out of place shows
        for (int i = 0; i < in_place.toInt(); ++i)
            bytes += char('a' + i % 23);
        if (in_place == "directory")
            QVERIFY(QDir(env.dir()).mkdir("products.dat"));
        else if (in_place != "missing")
            env.write_file("products.dat", bytes);
        const QString problem = error                     ? QString::fromLocal8Bit(strerror(error))
                                : in_place == "directory" ? "It is not a regular file."
                                                          : "";

        std::string got;
        const PiecesRead read = read_in_pieces(products_file(env.dir()),
                                               [&got](std::string_view piece) { got += piece; });
        QCOMPARE(read.problem, problem);
        QCOMPARE(got, problem.isEmpty() ? bytes : std::string());
        QCOMPARE(env.exists("products.dat"), in_place != "missing");
        set_file_fault(nullptr);
        if (problem.isEmpty() && in_place != "missing")
            QCOMPARE(read.identity, DataFile::read(products_file(env.dir())).identity());
        else
            QVERIFY(!read.identity);
    }

    // Each data file as the program makes it and as a rewrite leaves it: the accounts,
    // whose passwords are kept as typed, are the owner's alone after every rewrite whatever
    // the old file allowed; every other file keeps its mode, or has the user's default. A link
    // planted under the twin's name is removed, never written through; a file read for
    // showing, or already rewritten, is not rewritten.
    void modes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("mode"); // of the file before: 0 for none
        QTest::addColumn<int>("after");
        for (const char *file : {"products.dat", "history.dat", "contacts.dat", "security.dat"})
            for (int mode : {0, 0644, 0640, 0600, 0444, 0666})
                QTest::addRow("%s %o", file, mode) << file << mode
                                                   << (qstrcmp(file, "security.dat") == 0 ? 0600
                                                       : mode                             ? mode
                                                                                          : 0644);
    }
    void modes()
    {
        QFETCH(QString, file);
        QFETCH(int, mode);
        TestEnv env;
        const DataFilePlace place = place_of(env, file);
        if (mode) {
            env.write_file(file, "old\r\n");
            QCOMPARE(::chmod(QFile::encodeName(place.path).constData(), mode_t(mode)), 0);
        }
        env.write_file("other", "someone else's file\n");
        QVERIFY(QFile::link(env.path("other"), place.twin_path));
        const mode_t mask = ::umask(022);
        QVERIFY(!DataFile::read(place).replace("shown only\r\n").ok);
        DataFile data = DataFile::read_for_rewrite(place);
        if (!mode) // as made: the same as it will be after the rewrite
            QTEST(mode_of(place.path), "after");
        const WriteOutcome outcome = data.replace("new\r\n");
        ::umask(mask);
        QVERIFY(outcome.ok && !data.replace("again\r\n").ok);
        QTEST(mode_of(place.path), "after");
        QCOMPARE(env.read_file(file), "new\r\n");
        QCOMPARE(env.read_file("other"), "someone else's file\n");
        QVERIFY(!QFileInfo(place.twin_path).isSymLink());
    }

    // A parsed file kept between operations is used only while the file has not changed: any
    // change, by this program or another, is seen at the next read.
    void changes_are_seen_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("settled");       // the file's last change is old enough to trust
        QTest::addColumn<bool>("whole_seconds"); // the file system keeps no parts of a second
        QTest::addColumn<bool>("read_again");
        QTest::newRow("untouched") << "" << true << false << false;
        QTest::newRow("untouched, changed moments ago") << "" << false << false << true;
        QTest::newRow("same size, in place") << "in place" << true << false << true;
        QTest::newRow("replaced by another program") << "replaced" << true << false << true;
        // What this program wrote is kept, without a read, where the times could show a later
        // edit; in whole seconds they could not, and another program's edit within the
        // second of the write would be written over by the next save.
        QTest::newRow("rewritten by this program") << "own" << false << false << false;
        QTest::newRow("rewritten, edited in place") << "own, in place" << false << false << true;
        QTest::newRow("rewritten, whole seconds") << "own" << false << true << true;
        QTest::newRow("rewritten, edited in place in the same second")
            << "own, in place" << false << true << true;
        QTest::newRow("rewritten long ago, whole seconds") << "own" << true << true << false;
    }
    void changes_are_seen()
    {
        QFETCH(QString, change);
        QFETCH(bool, settled);
        QFETCH(bool, whole_seconds);
        QFETCH(bool, read_again);
        TestEnv env;
        set_settling_time(settled ? 0 : 3'600'000'000'000);
        set_whole_second_times(whole_seconds);
        if (whole_seconds) // the write and the edit after it within one second, the first half
            QTest::qWait(1000 - QTime::currentTime().msec());
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
            QCOMPARE(::rename(qPrintable(env.path("products2.dat")), qPrintable(place.path)), 0);
        } else if (change.startsWith("own")) {
            DataFile file = DataFile::read_for_rewrite(place, kept.identity());
            const std::string written(50 * 2, '\n');
            const WriteOutcome outcome = file.replace(written);
            QVERIFY(outcome.ok && outcome.written);
            kept.keep_written(file, written);
            if (change.endsWith("in place")) {
                if (!whole_seconds)
                    QTest::qWait(20); // past the file system's clock tick
                env.write_file("products.dat", std::string(50 * 2, '\r'));
                // Within the second the edit leaves the identity the write gave the file.
                if (whole_seconds)
                    QVERIFY(identity_at(qPrintable(place.path)) == outcome.written);
            }
        }

        // The file read as it stands: a copy of its own once it changed, else the one kept.
        KeptFile<ProductsData> copy = kept;
        DataFile readable = DataFile::read(place, copy.identity());
        QCOMPARE(copy.take(readable) == before, !read_again && change.isEmpty());
        // The same read failing: where the kept copy is reused, no read happens that could fail.
        set_file_fault(
            [](FileStep step, const QString &) { return step == FileStep::read ? EIO : 0; });
        DataFile second = DataFile::read(place, kept.identity());
        QCOMPARE(!second.ok(), read_again);
        if (!read_again)
            QCOMPARE(kept.take(second)->size(), change == "own" ? std::size_t(2) : std::size_t(3));
    }

    // A register larger than the machine's memory could hold is a file that could not be read,
    // refused before any memory is asked for, never the end of the program.
    void larger_than_memory()
    {
        TestEnv env;
        const qint64 memory = qint64(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGE_SIZE);
        QVERIFY(env.write_sparse_file("products.dat", memory + (qint64(1) << 30)));
        QCOMPARE(DataFile::read_for_rewrite(products_file(env.dir())).problem(),
                 "It is too large to be read into memory.");
    }

    // Two files changed as one land both or neither: whichever step fails, for either file,
    // both stay byte for byte as they were and no twin is left, whether the first is put back
    // by swapping names again or, where the file system cannot swap them, by writing what it
    // held. The outcome names the file the user is to be told of. Both files must have been
    // read for a change, and each through a twin of its own.
    void two_files_change_as_one_data()
    {
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<QString>("named");  // the file the step fails on; empty: none fails
        QTest::addColumn<bool>("swap");      // the file system swaps names
        QTest::addColumn<bool>("stuck");     // and the first cannot be put back
        QTest::addColumn<QString>("read");   // how the register was read: "" for a change
        QTest::addColumn<QString>("failed"); // "data file: failing file: why", empty when done
        const QString no_space = QString::fromLocal8Bit(strerror(ENOSPC));
        for (bool swap : {true, false}) {
            const char *way = swap ? "swapping" : "no swapping";
            QTest::addRow("both changed, %s", way) << FileStep::open << "" << swap << false << ""
                                                   << "";
            for (const char *data : {"history.dat", "products.dat"})
                for (const auto &[step, what] : rewrite_steps)
                    QTest::addRow("%s: %s, %s", data, what, way)
                        << step << failing(step, data) << swap << false << ""
                        << data + (": " + failing(step, data)) + ": " + no_space;
            QTest::addRow("first not put back, %s", way)
                << FileStep::rename << "products.dat" << swap << true << ""
                << "products.dat: products.dat: " + no_space;
        }
        QTest::newRow("register read to show")
            << FileStep::open << "" << true << false << "to show"
            << "products.dat: products.dat: It was not read for a change.";
        QTest::newRow("one twin for both")
            << FileStep::open << "" << true << false << "through history's twin"
            << "products.dat: products.dat: Both changes would go through the same twin file.";
    }
    void two_files_change_as_one()
    {
        QFETCH(FileStep, step);
        QFETCH(QString, named);
        QFETCH(bool, swap);
        QFETCH(bool, stuck);
        QFETCH(QString, read);
        TestEnv env;
        const std::string old_history = "old history\r\n", old_register = "old register\r\n";
        const std::string new_history = "new history\r\nline\r\n", new_register = "new\r\n";
        env.write_file("history.dat", old_history);
        env.write_file("products.dat", old_register);
        set_file_fault([=](FileStep at, const QString &file) {
            if (at == FileStep::exchange)
                return swap ? 0 : EINVAL;
            if (at == FileStep::put_back)
                return stuck ? EIO : 0;
            return at == step && file == named ? ENOSPC : 0;
        });
        DataFile history = DataFile::read_for_rewrite(history_file(env.dir()));
        DataFile products =
            read == "to show" ? DataFile::read(products_file(env.dir()))
            : read.isEmpty()
                ? DataFile::read_for_rewrite(products_file(env.dir()))
                : DataFile::read_for_rewrite({env.path("products.dat"), env.path("history2.dat")});
        // What was read may have been handed on already: a put-back does not need it.
        QCOMPARE(history.take_bytes(), old_history);

        const PairWriteOutcome outcome =
            replace_together(history, new_history, products, new_register);
        QTEST(outcome.ok ? QString()
                         : outcome.data_file + ": " + outcome.file + ": " + outcome.reason,
              "failed");
        QCOMPARE(outcome.left_changed, stuck ? "history.dat" : "");
        QCOMPARE(env.read_file("history.dat"), outcome.ok || stuck ? new_history : old_history);
        QCOMPARE(env.read_file("products.dat"), outcome.ok ? new_register : old_register);
        QVERIFY(!env.exists("history2.dat"));
        QVERIFY(!env.exists("products2.dat"));
        // Kept copies follow what was written, as after one rewrite; both locks are let go.
        const auto written = [&](const char *file) {
            return outcome.ok ? identity_at(qPrintable(env.path(file))) : std::nullopt;
        };
        QVERIFY(history.identity() == written("history.dat"));
        QVERIFY(products.identity() == written("products.dat"));
        set_file_fault(nullptr);
        QVERIFY(DataFile::read_for_rewrite(history_file(env.dir())).replace("after\r\n").ok);
        QVERIFY(DataFile::read_for_rewrite(products_file(env.dir())).replace("after\r\n").ok);
    }

    // Writers killed at random moments, then two writers at once: the data file always reads
    // as one whole version, the next rewrite copes with the twin a kill left, and the lock
    // makes each read and rewrite one step, so no change is lost.
    void killed_or_racing_writers_leave_a_whole_file()
    {
        TestEnv env;
        // Two versions of different sizes; a torn or cut write is neither of them.
        static const std::string first(200000, 'a'), second(450000, 'b');
        env.write_file("products.dat", first);
        const auto other = [](const std::string &old) { return old == first ? second : first; };
        QRandomGenerator random(20261206);
        int kills = 0, changes = 0, twins_left = 0;
        std::string last = first;
        // Mostly early in a rewrite; now and then late enough for several to finish.
        for (; kills < 150; ++kills) {
            const pid_t writer = start_writer(env, other, 1000000);
            QVERIFY(writer > 0); // to kill, -1 would mean every process there is
            QThread::usleep(kills % 20 == 0 ? 300000 : random.bounded(1000, 40000));
            ::kill(writer, SIGKILL);
            QCOMPARE(exit_status(writer), -1);
            const std::string now = env.read_file("products.dat");
            QVERIFY2(now == first || now == second, qPrintable(QString("kill %1").arg(kills)));
            changes += now != last;
            twins_left += env.exists("products2.dat");
            last = now;
        }
        QVERIFY2(changes > 0, "no writer got as far as a rename");
        QVERIFY2(twins_left > 0, "no writer was killed part way through a rewrite");
        const auto zero = [](const std::string &) { return std::string("0\r\n"); };
        QCOMPARE(exit_status(start_writer(env, zero, 1)), 0);
        QVERIFY(!env.exists("products2.dat"));
        const auto add_one = [](const std::string &old) {
            return std::to_string(std::stol(old) + 1) + "\r\n";
        };
        const pid_t a = start_writer(env, add_one, 150), b = start_writer(env, add_one, 150);
        QCOMPARE(std::pair(exit_status(a), exit_status(b)), std::pair(0, 0));
        QCOMPARE(env.read_file("products.dat"), "300\r\n");
    }
};

QTEST_GUILESS_MAIN(DataFileTest)
#include "tst_data_file.moc"
