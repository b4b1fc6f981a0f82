// "Restore from Backup…": the sets listed newest first with what each holds, the one chosen
// put back byte for byte after a set of the present files, each file with its entry in the
// audit trail; refused whole when the present files cannot be kept; for the edit right only.
#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "common/file_rewrite.h"
#include "support/window_fixture.h"

#include <ctime>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const char *const data_files[] = {"products.dat", "history.dat", "contacts.dat", "security.dat"};

StartWith register_start()
{
    return {.products = file_of({make_record({"N-1", "Meter"}), make_record({"N-2", "Probe"})}),
            .history = crlf_lines({"N-1", "01/02/2026", "10", "#1RESULT", "ok", "#2RESULT"}),
            .contacts = crlf_lines({"Acme", "Ann", "", "", "", "", "", "", "", "", "", ""}),
            .security = crlf_lines({"amy", "a", " 1 ", " 1 ", " 1 "}),
            .prepare = [](TestEnv &env) {
                // A set from an earlier session, past 30 days but among the newest 10.
                QDir().mkpath(env.path("backups/2026-11-01_080000"));
                env.write_file(
                    "backups/2026-11-01_080000/products.dat",
                    file_of({make_record({"A"}), make_record({"B"}), make_record({"C"})}));
            }};
}

// Every data file changed through the rewrite path, as the windows change them: the first
// change makes the session's set.
void change_every_file(const WindowFixture &f)
{
    for (const char *name : data_files) {
        const bool owner_only = QByteArray(name) == "security.dat";
        const QString path = f.env.path(name);
        FileRewrite rewrite(nullptr, {path, path + ".twin", owner_only});
        QVERIFY(rewrite.read());
        const std::string now = QByteArray(name) == "products.dat"
                                    ? file_of({make_record({"N-9", "Changed"})})
                                    : std::string("changed\r\n");
        QVERIFY(rewrite.finish(now));
    }
}

} // namespace

class RestoreTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "XST-1"); // an hour east of UTC: the sets are named 10:30
        ::tzset();
    }
    void cleanup() { Messages::clear(); }

    void restore_brings_back_every_byte()
    {
        WindowFixture f(register_start());
        std::map<std::string, std::string> before;
        for (const char *name : data_files)
            before[name] = f.env.read_file(name);
        change_every_file(f);
        f.run("fulllist");
        QCOMPARE(f.lines_of().size(), 1);

        f.run("restorebackup");
        // Counted beside the window, and shown as they come.
        QTRY_COMPARE(
            f.lines_of("sets"),
            QStringList({"2026-12-05 10:30:00   2 instruments, 1 calibration, 1 contact",
                         "2026-11-01 08:00:00   3 instruments, 0 calibrations, 0 contacts"}));
        f.run("Yes; restore");
        QCOMPARE(shown_messages(),
                 QStringList{"Question \"Durnmoor\": Restore the records as they were on 5 "
                             "December 2026, 10:30:00? The present files are kept as a backup "
                             "set first. (Yes|No, default No)"});
        for (const char *name : data_files)
            QCOMPARE(f.env.read_file(name), before[name]);
        QCOMPARE(QFile::permissions(f.env.path("security.dat")) & QFile::Permissions(0x7077),
                 QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(f.lines_of().size(), 2); // the register listed again
        QVERIFY(open_windows("RestoreBackup").isEmpty());

        // The files as they were before the restore are the newest set.
        QCOMPARE(f.env.read_file("backups/2026-12-05_103000-2/contacts.dat"), "changed\r\n");
        // One entry per file put back, naming the set, each with the hash of what it wrote.
        const std::vector<AuditEntry> entries = audit_entries(f.env);
        QVERIFY(entries.size() >= 4);
        for (std::size_t i = 0; i < 4; ++i) {
            const AuditEntry &entry = entries[entries.size() - 4 + i];
            QCOMPARE(entry.action, "backup.restore");
            QCOMPARE(entry.file, data_files[i]);
            QCOMPARE(entry.key, std::vector<std::string>{"2026-12-05_103000"});
            QCOMPARE(entry.after, sha256_hex(before[data_files[i]]));
        }
    }

    // Answered No, or refused at a step, the restore tells why and changes no more than the
    // files put back before the step; the trail and the set chosen are never changed.
    void a_refused_restore_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("put_back"); // how many files, in file order, went back
        QTest::newRow("answered No") << "No" << FileStep::open << ""
                                     << "" << 0;
        QTest::newRow("present files not kept")
            << "Yes" << FileStep::backup_copy << "history.dat"
            << "Warning \"Durnmoor\": The records could not be restored.\n"
               "backups/2026-12-05_103000-2/history.dat: No space left on device\n"
               "Every file has been left as it was. (Ok, default Ok)"
            << 0;
        QTest::newRow("register and history not written")
            << "Yes" << FileStep::rename << "history.dat"
            << "Warning \"Durnmoor\": history.dat could not be saved.\nhistory.dat: No space "
               "left on device\nhistory.dat has been left as it was. (Ok, default Ok)"
            << 0;
        QTest::newRow("contacts not written")
            << "Yes" << FileStep::write_twin << "contacts2.dat"
            << "Warning \"Durnmoor\": contacts.dat could not be saved.\ncontacts2.dat: No space "
               "left on device\ncontacts.dat has been left as it was. (Ok, default Ok)"
            << 2;
    }
    void a_refused_restore()
    {
        QFETCH(QString, answer);
        QFETCH(FileStep, step);
        QFETCH(QString, file);
        QFETCH(QString, told);
        QFETCH(int, put_back);
        WindowFixture f(register_start());
        std::map<std::string, std::string> before;
        for (const char *name : data_files)
            before[name] = f.env.read_file(name);
        change_every_file(f);
        std::map<std::string, std::string> changed;
        for (const char *name : data_files)
            changed[name] = f.env.read_file(name);
        const std::string set_products = f.env.read_file("backups/2026-12-05_103000/products.dat");

        f.run("restorebackup");
        set_file_fault([&](FileStep at, const QString &name) {
            return at == step && name == file ? ENOSPC : 0;
        });
        f.run(answer + "; restore");
        set_file_fault(nullptr);
        QCOMPARE(shown_messages().mid(1), told.isEmpty() ? QStringList() : QStringList{told});
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f.env.read_file(data_files[i]),
                     i < put_back ? before[data_files[i]] : changed[data_files[i]]);
        QCOMPARE(f.env.read_file("backups/2026-12-05_103000/products.dat"), set_products);
    }

    // Without the edit right the menu item is disabled, and the window does not open even
    // when the item is chosen some other way.
    void needs_the_edit_right()
    {
        // Protection on with nobody to log in: the window is for looking only.
        WindowFixture f({.settings = {{"Pass/Word", "YES"}}});
        f.run("disabled restorebackup");
        auto *item = f.control<QAction>("restorebackup");
        item->setEnabled(true);
        item->trigger();
        QVERIFY(open_windows("RestoreBackup").isEmpty());
    }
};

QTEST_MAIN(RestoreTest)
#include "tst_restore.moc"
