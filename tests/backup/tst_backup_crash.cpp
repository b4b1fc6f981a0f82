// Writers killed at random moments while they make their session's backup set: afterwards
// every set listed is whole, each file as some moment had it, and what a killed backup left
// is never listed and goes at the next start.
#include "backup/session_backup.h"
#include "common/file_rewrite.h"
#include "register/products_file.h"
#include "restore/backup_restore.h"
#include "support/test_env.h"

#include <QDir>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const std::string history(3'000'000, 'h');
const std::string contacts(200'000, 'c');
const std::string security = "amy\r\na\r\n 1 \r\n 1 \r\n 1 \r\n";

std::string version(int time)
{
    return std::string(1'000'000 + time % 7 * 500'000, char('a' + time % 26));
}

// A process of its own that starts session after session, each making its set before it
// rewrites products.dat.
pid_t start_writer(const TestEnv &env)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    for (int time = 0;; ++time) {
        SessionBackup session(env.dir(), backed_up_files());
        FileRewrite::set_session_backup(&session);
        FileRewrite rewrite(nullptr, products_file(env.dir()));
        if (!rewrite.read() || !rewrite.finish(version(time)))
            ::_exit(1);
    }
}

// products.dat as the start or some rewrite left it.
bool known_products(const std::string &bytes, const std::string &first)
{
    if (bytes == first)
        return true;
    for (int time = 0; time < 26 * 7; ++time)
        if (bytes == version(time))
            return true;
    return false;
}

} // namespace

class BackupCrashTest : public QObject {
    Q_OBJECT

private slots:
    void killed_backups_leave_no_set_or_a_whole_one()
    {
        TestEnv env;
        const std::string first(500'000, 'z');
        env.write_file("products.dat", first);
        env.write_file("history.dat", history);
        env.write_file("contacts.dat", contacts);
        env.write_file("security.dat", security);
        const QDir backups(env.path("backups"));
        QRandomGenerator random(20261207);
        int cut_short = 0;
        for (int kill = 0; kill < 40; ++kill) {
            const pid_t writer = start_writer(env);
            QVERIFY(writer > 0);
            QThread::usleep(random.bounded(1000, 60000));
            ::kill(writer, SIGKILL);
            ::waitpid(writer, nullptr, 0);

            const QString at = QString("kill %1").arg(kill);
            const QStringList left = backups.entryList({".making-*"}, QDir::Dirs | QDir::Hidden);
            cut_short += left.isEmpty() ? 0 : 1;
            for (const BackupSet &set : list_backup_sets(env.dir())) {
                const QString dir = "backups/" + set.name + "/";
                QVERIFY2(known_products(env.read_file(dir + "products.dat"), first),
                         qPrintable(at + " " + set.name));
                QVERIFY2(env.read_file(dir + "history.dat") == history, qPrintable(at));
                QVERIFY2(env.read_file(dir + "contacts.dat") == contacts, qPrintable(at));
                QVERIFY2(env.read_file(dir + "security.dat") == security, qPrintable(at));
            }
            // The next start removes what the killed one left, and no set with it.
            const std::size_t sets = list_backup_sets(env.dir()).size();
            prune_backup_sets(env.dir(), QDateTime(QDate(2026, 12, 5), QTime(9, 30)), 30, 10);
            QCOMPARE(list_backup_sets(env.dir()).size(), sets);
            QVERIFY2(backups.entryList({".making-*"}, QDir::Dirs | QDir::Hidden).isEmpty(),
                     qPrintable(at));
        }
        QVERIFY2(cut_short > 0, "no writer was killed while making a set");
        QVERIFY2(!list_backup_sets(env.dir()).empty(), "no writer finished a set");
    }
};

QTEST_GUILESS_MAIN(BackupCrashTest)
#include "tst_backup_crash.moc"
