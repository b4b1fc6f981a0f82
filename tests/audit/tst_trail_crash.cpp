// Writers killed at random moments of a recorded rewrite: whatever the data file holds
// afterwards is its first version or one an entry of the trail names, so no change is ever
// left without its entry.
#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "common/file_rewrite.h"
#include "register/products_file.h"
#include "support/test_env.h"

#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// A process of its own that rewrites products.dat over and over as the windows do: each
// change noted, its entry written before the file is replaced.
pid_t start_recorded_writer(const TestEnv &env)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    AuditTrail trail(env.dir());
    FileRewrite::set_recorder({&trail, [] { return std::string("os:test"); }});
    for (int time = 0;; ++time) {
        FileRewrite rewrite(nullptr, products_file(env.dir()));
        rewrite.note({"instrument.change", {"N"}, {}});
        const std::string next = std::string(100000 + time % 7 * 50000, char('a' + time % 26));
        if (!rewrite.read() || !rewrite.finish(next))
            ::_exit(1);
    }
}

} // namespace

class TrailCrashTest : public QObject {
    Q_OBJECT

private slots:
    void killed_writers_leave_no_change_without_its_entry()
    {
        TestEnv env;
        const std::string first(1000, 'z');
        env.write_file("products.dat", first);
        QRandomGenerator random(20261207);
        std::set<std::string> seen;
        for (int kill = 0; kill < 60; ++kill) {
            const pid_t writer = start_recorded_writer(env);
            QVERIFY(writer > 0);
            QThread::usleep(random.bounded(1000, 30000));
            ::kill(writer, SIGKILL);
            ::waitpid(writer, nullptr, 0);

            const std::string now = sha256_hex(env.read_file("products.dat"));
            std::set<std::string> recorded{sha256_hex(first)};
            // A writer killed before its first entry leaves no trail at all.
            QFile trail(env.path("audit.log"));
            QVERIFY(trail.open(QIODevice::ReadOnly) || !trail.exists());
            while (trail.isOpen() && !trail.atEnd())
                if (const auto entry = read_audit_line(trail.readLine().chopped(1).toStdString()))
                    recorded.insert(entry->after);
            QVERIFY2(recorded.count(now), qPrintable(QString("kill %1").arg(kill)));
            seen.insert(now);
            AuditTrail reread(env.dir());
            QVERIFY(reread.open());
        }
        QVERIFY2(seen.size() > 1, "no writer got as far as a rename");
    }
};

QTEST_GUILESS_MAIN(TrailCrashTest)
#include "tst_trail_crash.moc"
