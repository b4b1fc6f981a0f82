// Backup sets: one per session, made before its first change and holding the files as they
// were; none at all when it cannot be made whole, and then no change either; and the sets
// past keeping removed at start.
#include "backup/session_backup.h"
#include "calibration/history_file.h"
#include "common/file_rewrite.h"
#include "contacts/contacts_file.h"
#include "register/products_file.h"
#include "restore/backup_restore.h"
#include "support/window_fixture.h"

#include <ctime>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Each file the data folder holds at the start of a test, by name.
const std::pair<QString, std::string> start_files[] = {
    {"products.dat", file_of({make_record({"N-1", "Meter"})})},
    {"history.dat", crlf_lines({"N-1", "01/02/2026", "10", "#1RESULT", "ok", "#2RESULT"})},
    {"contacts.dat", crlf_lines({"Acme", "", "", "", "", "", "", "", "", "", "", ""})},
    {"security.dat", crlf_lines({"amy", "a", " 1 ", " 1 ", " 1 "})},
    {"audit.log", "not checked by the copy\n"}};

void write_start_files(const TestEnv &env)
{
    for (const auto &[name, bytes] : start_files)
        env.write_file(name, bytes);
    // Left open to others by hand: the accounts' copy is still its owner's alone.
    QFile::setPermissions(env.path("security.dat"), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(env.path("products.dat"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

QStringList set_names(const QString &dir)
{
    QStringList names;
    for (const BackupSet &set : list_backup_sets(dir))
        names << set.name;
    return names;
}

// Everything in the backups folder, hidden entries too: what a failed set may leave.
QStringList backups_folder(const TestEnv &env)
{
    return QDir(env.path("backups"))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// One change of products.dat through the rewrite path, made the way the kind says.
bool change_products(const TestEnv &env, const QString &kind, const std::string &bytes)
{
    FileRewrite rewrite(nullptr, products_file(env.dir()));
    if (!rewrite.read())
        return false;
    if (kind == "records") {
        const ProductsData source(rewrite.file().bytes());
        RecordRewrite records(source);
        records.write(std::vector<std::string>(product_line_count, bytes.substr(0, 3)));
        return rewrite.finish(records);
    }
    if (kind == "together") {
        FileRewrite history(nullptr, history_file(env.dir()));
        return history.read() &&
               FileRewrite::finish_together(rewrite, bytes, history, "changed\r\n").ok;
    }
    return rewrite.finish(bytes);
}

constexpr qint64 day = 24 * 60 * 60;
// The mode bits, without the ones Qt adds for the user running the test.
const QFile::Permissions owner_group_other(0x7077);

} // namespace

class SessionBackupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // An hour east of UTC all year: the sets are named in local time, 10:30 here.
        qputenv("TZ", "XST-1");
        ::tzset();
    }
    void cleanup()
    {
        FileRewrite::set_session_backup(nullptr);
        set_file_fault(nullptr);
    }

    // Whatever way the first change goes, the set holds every file as it was before it; the
    // session's later changes add no set, and the next session's first change adds one after
    // it, holding what the first session left.
    void one_set_per_session_before_its_first_change_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("new contents") << "bytes";
        QTest::newRow("records rewritten") << "records";
        QTest::newRow("two files as one change") << "together";
    }
    void one_set_per_session_before_its_first_change()
    {
        QFETCH(QString, kind);
        TestEnv env;
        write_start_files(env);
        env.write_file("products2.dat", "a twin is no data file\r\n");
        SessionBackup session(env.dir(), backed_up_files());
        FileRewrite::set_session_backup(&session);

        QVERIFY(change_products(env, kind, "first change\r\n"));
        const std::string after_first = env.read_file("products.dat");
        QVERIFY(after_first != start_files[0].second);
        QVERIFY(change_products(env, "bytes", "second change\r\n"));
        FileRewrite contacts(nullptr, contacts_file(env.dir()));
        QVERIFY(contacts.read() && contacts.finish("Other\r\n"));

        QCOMPARE(set_names(env.dir()), QStringList{"2026-12-05_103000"});
        const QDir set(env.path("backups/2026-12-05_103000"));
        QCOMPARE(set.entryList(QDir::Files),
                 QStringList(
                     {"audit.log", "contacts.dat", "history.dat", "products.dat", "security.dat"}));
        for (const auto &[name, bytes] : start_files)
            QCOMPARE(env.read_file("backups/2026-12-05_103000/" + name), bytes);
        QCOMPARE(QFile::permissions(set.filePath("security.dat")) & owner_group_other,
                 QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(QFile::permissions(set.filePath("products.dat")) & owner_group_other,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

        SessionBackup next(env.dir(), backed_up_files());
        FileRewrite::set_session_backup(&next);
        QVERIFY(change_products(env, "bytes", "next session\r\n"));
        QCOMPARE(set_names(env.dir()), QStringList({"2026-12-05_103000-2", "2026-12-05_103000"}));
        QCOMPARE(env.read_file("backups/2026-12-05_103000-2/products.dat"), "second change\r\n");
        QCOMPARE(env.read_file("backups/2026-12-05_103000-2/contacts.dat"), "Other\r\n");
    }

    // A copy is the file byte for byte whichever way the system copies it, and a copy that
    // fails part way is not left behind.
    void a_copy_is_the_file_whichever_way_it_is_made_data()
    {
        QTest::addColumn<int>("planted");
        QTest::newRow("shared or within the kernel") << 0;
        QTest::newRow("by reads and writes") << EXDEV;
        QTest::newRow("failed") << EIO;
    }
    void a_copy_is_the_file_whichever_way_it_is_made()
    {
        QFETCH(int, planted);
        TestEnv env;
        std::string bytes(1'000'007, '\0'); // several blocks of a read, and a part of one
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7919 % 251);
        env.write_file("products.dat", bytes);
        set_file_fault([&](FileStep at, const QString &) {
            return at == FileStep::backup_share ? planted : 0;
        });
        const int error = copy_file_flushed(env.path("products.dat"), env.path("copy.dat"), false);
        QCOMPARE(error, planted == EIO ? EIO : 0);
        QCOMPARE(env.exists("copy.dat"), error == 0);
        if (error == 0)
            QCOMPARE(env.read_file("copy.dat"), bytes);
    }

    // A set that cannot be made whole refuses the change, which is told as any write that
    // fails; nothing of the set is left, and the next change tries again.
    void a_set_that_cannot_be_made_refuses_the_change_data()
    {
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("where");
        QTest::newRow("folder") << FileStep::backup_folder << ".making-2026-12-05_103000"
                                << "backups/2026-12-05_103000";
        QTest::newRow("second copy") << FileStep::backup_copy << "history.dat"
                                     << "backups/2026-12-05_103000/history.dat";
        QTest::newRow("last flush") << FileStep::backup_sync << "audit.log"
                                    << "backups/2026-12-05_103000/audit.log";
        QTest::newRow("rename") << FileStep::backup_rename << "2026-12-05_103000"
                                << "backups/2026-12-05_103000";
    }
    void a_set_that_cannot_be_made_refuses_the_change()
    {
        QFETCH(FileStep, step);
        QFETCH(QString, file);
        QFETCH(QString, where);
        TestEnv env;
        write_start_files(env);
        SessionBackup session(env.dir(), backed_up_files());
        FileRewrite::set_session_backup(&session);
        set_file_fault([&](FileStep at, const QString &name) {
            return at == step && name == file ? ENOSPC : 0;
        });
        Messages::clear();
        for (const QString kind : {"bytes", "records", "together"}) {
            QVERIFY(!change_products(env, kind, "refused\r\n"));
            QCOMPARE(env.read_file("products.dat"), start_files[0].second);
            QCOMPARE(env.read_file("history.dat"), start_files[1].second);
            QCOMPARE(backups_folder(env), QStringList());
        }
        QCOMPARE(shown_messages().value(0),
                 "Warning \"Durnmoor\": products.dat could not be saved.\n" + where +
                     ": No space left on device\nproducts.dat has been left as it was. (Ok, "
                     "default Ok)");
        QCOMPARE(shown_messages().size(), 2); // the pair's outcome is told by its caller

        set_file_fault(nullptr);
        QVERIFY(change_products(env, "bytes", "made\r\n"));
        QCOMPARE(set_names(env.dir()), QStringList{"2026-12-05_103000"});
        QCOMPARE(env.read_file("backups/2026-12-05_103000/products.dat"), start_files[0].second);
    }

    // A set goes at start when it is Days old or older and not among the newest Keep; what a
    // killed backup left goes whatever its age.
    void keeping_rule_data()
    {
        QTest::addColumn<QList<qint64>>("ages"); // seconds before now, newest first
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("keep");
        QTest::addColumn<QString>("kept"); // one mark per set: k kept, - removed
        const qint64 month = 30 * day;
        QTest::newRow("younger than Days") << QList<qint64>{0, day, month - 1} << 30 << 1 << "kkk";
        QTest::newRow("Days old to the second") << QList<qint64>{0, month} << 30 << 1 << "k-";
        QTest::newRow("newest Keep however old")
            << QList<qint64>{month + 5, 2 * month, 3 * month} << 30 << 2 << "kk-";
        QTest::newRow("a day") << QList<qint64>{0, day - 1, day, 3 * day} << 1 << 1 << "kk--";
        QTest::newRow("all within Keep") << QList<qint64>{month, 2 * month} << 30 << 10 << "kk";
    }
    void keeping_rule()
    {
        QFETCH(QList<qint64>, ages);
        QFETCH(int, days);
        QFETCH(int, keep);
        QFETCH(QString, kept);
        TestEnv env;
        const QDateTime now(QDate(2026, 12, 5), QTime(10, 30));
        QStringList expected;
        for (qsizetype i = 0; i < ages.size(); ++i) {
            const QString name = set_name_of(now.addSecs(-ages[i]));
            QVERIFY(QDir().mkpath(env.path("backups/" + name)));
            env.write_file("backups/" + name + "/products.dat", "P\r\n");
            if (kept[i] == 'k')
                expected << name;
        }
        QVERIFY(QDir().mkpath(env.path("backups/.making-2026-12-05_103000")));
        env.write_file("backups/.making-2026-12-05_103000/products.dat", "cut short");

        QCOMPARE(prune_backup_sets(env.dir(), now, days, keep), kept.count('-'));
        QCOMPARE(backups_folder(env), QStringList(expected.rbegin(), expected.rend()));
    }

    // At start the window keeps what the settings store says, and what it does not
    // understand counts as the defaults: 30 days, the newest 10.
    void start_prunes_by_the_stored_options_data()
    {
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<int>("left");
        QTest::newRow("defaults") << QVariantMap{} << 12;
        QTest::newRow("five days, one")
            << QVariantMap{{"Backup/Days", "5"}, {"Backup/Keep", "1"}} << 3;
        QTest::newRow("one day, four")
            << QVariantMap{{"Backup/Days", "1"}, {"Backup/Keep", "4"}} << 4;
        QTest::newRow("not numbers, none kept")
            << QVariantMap{{"Backup/Days", "x"}, {"Backup/Keep", "0"}} << 12;
        QTest::newRow("sixty days") << QVariantMap{{"Backup/Days", "60"}} << 24;
    }
    void start_prunes_by_the_stored_options()
    {
        QFETCH(QVariantMap, settings);
        QFETCH(int, left);
        // Twelve sets 2 to 13 days old, twelve 40 to 51.
        WindowFixture f({.settings = settings, .prepare = [](TestEnv &env) {
                             const QDateTime now = QDateTime(QDate(2026, 12, 5), QTime(10, 30));
                             for (int age : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13})
                                 for (int older : {0, 38})
                                     QDir().mkpath(env.path(
                                         "backups/" + set_name_of(now.addDays(-age - older))));
                         }});
        QCOMPARE(int(list_backup_sets(f.env.dir()).size()), left);
    }
};

QTEST_MAIN(SessionBackupTest)
#include "tst_session_backup.moc"
