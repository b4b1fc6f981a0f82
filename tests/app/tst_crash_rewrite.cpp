// Writers killed at random moments, and two writers at once: the data file always reads as
// one whole version, and no change is lost. Each writer is a process forked from this one
// that rewrites products.dat the way the program does.
#include "app/data_file.h"
#include "support/test_env.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace durnmoor;
using durnmoor::test::TestEnv;

namespace {

// Rewrites the file `times` times (for ever when negative), each time with next(old bytes);
// the exit status is 1 as soon as a rewrite fails. -1 when no writer could be started.
pid_t start_writer(const TestEnv &env, const std::function<std::string(const std::string &)> &next,
                   long times = -1)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    for (; times != 0; --times) {
        DataFile file =
            DataFile::read_for_rewrite({env.path("products.dat"), env.path("products2.dat")});
        if (!file.ok() || !file.replace(next(file.bytes())).ok)
            ::_exit(1);
    }
    ::_exit(0);
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

class CrashRewriteTest : public QObject {
    Q_OBJECT

private slots:
    void killed_writer_leaves_a_whole_file()
    {
        TestEnv env;
        // Two versions of different sizes; a torn or cut write is neither of them.
        const std::string first(200000, 'a'), second(450000, 'b');
        env.write_file("products.dat", first);
        QRandomGenerator random(20261206);
        QElapsedTimer spent;
        spent.start();
        int kills = 0, changes = 0, twins_left = 0;
        std::string last = first;
        // Mostly early in a rewrite; now and then late enough for several to finish.
        for (; kills < 300 && spent.elapsed() < 60000; ++kills) {
            const pid_t writer = start_writer(
                env, [&](const std::string &old) { return old == first ? second : first; });
            QVERIFY(writer > 0);
            QThread::usleep(kills % 20 == 0 ? 300000 : random.bounded(1000, 40000));
            ::kill(writer, SIGKILL);
            QCOMPARE(exit_status(writer), -1);
            const std::string now = env.read_file("products.dat");
            QVERIFY2(now == first || now == second, qPrintable(QString("kill %1").arg(kills)));
            changes += now != last;
            twins_left += env.exists("products2.dat");
            last = now;
        }
        QVERIFY(kills >= 100);
        QVERIFY2(changes > 0, "no writer got as far as a rename");
        QVERIFY2(twins_left > 0, "no writer was killed part way through a rewrite");
        // The next rewrite copes with whatever twin the last kill left behind.
        QCOMPARE(exit_status(start_writer(
                     env, [](auto &) { return "after\r\n"; }, 1)),
                 0);
        QCOMPARE(env.read_file("products.dat"), "after\r\n");
        QVERIFY(!env.exists("products2.dat"));
    }

    void two_writers_lose_no_change()
    {
        TestEnv env;
        env.write_file("products.dat", "0\r\n");
        const auto add_one = [](const std::string &old) {
            return std::to_string(std::stol(old) + 1) + "\r\n";
        };
        const pid_t a = start_writer(env, add_one, 150), b = start_writer(env, add_one, 150);
        QCOMPARE(exit_status(a), 0);
        QCOMPARE(exit_status(b), 0);
        QCOMPARE(env.read_file("products.dat"), "300\r\n");
    }
};

QTEST_GUILESS_MAIN(CrashRewriteTest)
#include "tst_crash_rewrite.moc"
