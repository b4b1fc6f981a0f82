// What the windows' changes leave in the audit trail: an entry per record changed, written
// before the file is replaced; a change that cannot be recorded is not made, and one that
// could not be written is followed by a failed entry.
#include "access/login_throttle.h"
#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "store/data_file.h"
#include "store/file_faults.h"
#include "support/window_fixture.h"

#include <atomic>
#include <cstdio>
#include <map>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Each entry in one line: seq, action, file, key and changes ("field:old>new"). Each file's
// last after, unless its change failed, is checked against what the file holds.
QStringList entries_of(const TestEnv &env)
{
    std::map<std::string, std::pair<std::int64_t, std::string>> after;
    QStringList shown;
    QList<QByteArray> lines = QByteArray::fromStdString(env.read_file("audit.log")).split('\n');
    if (!lines.takeLast().isEmpty())
        return {"the last line has no LF"};
    for (const QByteArray &line : lines) {
        const std::optional<AuditEntry> entry = read_audit_line(line.toStdString());
        if (!entry)
            return {"not an entry: " + line};
        QStringList changes;
        for (const FieldChange &change : entry->changes)
            changes << QString::fromStdString(change.field + ":" + change.old_value.value_or("-") +
                                              ">" + change.new_value.value_or("-"));
        QStringList key;
        for (const std::string &part : entry->key)
            key << QString::fromStdString(part);
        shown << QString("%1 %2 %3 %4%5 %6")
                     .arg(entry->seq)
                     .arg(QString::fromStdString(entry->action),
                          QString::fromStdString(entry->file), key.join('|'),
                          entry->entry ? QString(" of %1").arg(entry->entry) : QString(),
                          changes.join(' '))
                     .trimmed();
        if (entry->time != "2026-12-05T09:30:00.000Z")
            return {"wrong time: " + line};
        if (!entry->user.starts_with("os:")) // the one logged in, rather than the system's user
            shown.last() += QString::fromStdString(" by " + entry->user);
        if (!entry->after.empty())
            after[entry->file] = {entry->seq, entry->after};
        else if (entry->action == "failed" && after[entry->file].first == entry->entry)
            after.erase(entry->file);
    }
    for (const auto &[file, last] : after)
        if (last.second != sha256_hex(env.read_file(QString::fromStdString(file))))
            return {QString::fromStdString("after does not match " + file)};
    return shown;
}

// Two entries for products.dat, both naming after as what it holds; with tamper, the second
// changed by hand.
std::function<void(TestEnv &)> trail_naming(std::string after, bool tamper = false)
{
    return [after, tamper](TestEnv &env) {
        AuditTrail trail(env.dir());
        for (const char *action : {"instrument.add", "instrument.change"}) {
            AuditEntry entry{0, {}, "os:x", action, "products.dat", {"N"}, {}, after, 0, {}};
            QVERIFY(!trail.append(entry));
        }
        if (tamper) {
            std::string bytes = env.read_file("audit.log");
            bytes.replace(bytes.find("os:x"), 4, "os:y");
            env.write_file("audit.log", bytes);
        }
    };
}

// Another program saving a file through a twin of its own, as editors do.
void written_elsewhere(const TestEnv &env, const QString &name, const std::string &bytes)
{
    env.write_file(name + ".other", bytes);
    QCOMPARE(std::rename(QFile::encodeName(env.path(name + ".other")).constData(),
                         QFile::encodeName(env.path(name)).constData()),
             0);
}

} // namespace

class TrailEntriesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_file_fault(nullptr); }

    void changes_leave_their_entries_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("entries");
        // clang-format off
        QTest::newRow("instrument added") << "Command1; Text1=N-1; Text2=Probe; Command4"
            << QStringList{"1 instrument.add products.dat N-1 instrument_no:->N-1 description:->Probe "
                           "cal_mode:->EXTERNAL availability:->AVAILABLE interval_months:-> 12  "
                           "purchase_day:->05 purchase_month:->December purchase_year:->2026 "
                           "lastcal_day:->05 lastcal_month:->December lastcal_year:->2026"};
        QTest::newRow("instrument changed") << "row=0; double-click=0; Text2=Meter; Yes; Command4"
            << QStringList{"1 instrument.change products.dat DMM-014 description:Bench>Meter"};
        QTest::newRow("declined: nothing") << "row=0; double-click=0; Text2=Meter; No; Command4"
            << QStringList{};
        QTest::newRow("deleted") << "row=0; Yes; Command3"
            << QStringList{"1 instrument.delete products.dat DMM-014 instrument_no:DMM-014>- "
                           "description:Bench>- cal_mode:EXTERNAL>- availability:AVAILABLE>- "
                           "interval_months: 12 >- purchase_day:1>- purchase_month:January>- "
                           "purchase_year:2020>- lastcal_day:3>- lastcal_month:March>- "
                           "lastcal_year:2025>-"};
        QTest::newRow("calibrated: history and the instrument's date")
            << "row=0; double-click=0; tab=3; Command9; Text26=ok; Yes; Command10"
            << QStringList{"1 calibration.add history.dat DMM-014|05/12/2026 instrument_no:->DMM-014 "
                           "date:->05/12/2026 result:->ok",
                           "2 instrument.change products.dat DMM-014 lastcal_day:3>05 "
                           "lastcal_month:March>December lastcal_year:2025>2026"};
        QTest::newRow("result corrected")
            << "row=0; double-click=0; tab=3; history double-click=0; Text26=Out\nof range; Yes; Command10"
            << QStringList{"1 calibration.change history.dat DMM-014|05/12/2025 result:In tolerance>Out\nof range",
                           "2 instrument.change products.dat DMM-014 lastcal_day:3>05 "
                           "lastcal_month:March>December lastcal_year:2025>2026"};
        QTest::newRow("calibration removed") << "row=0; double-click=0; tab=3; history row=0; Command11"
            << QStringList{"1 calibration.remove history.dat DMM-014|05/12/2025 instrument_no:DMM-014>- "
                           "date:05/12/2025>- cost:80.00>- result:In tolerance>-"};
        QTest::newRow("contact added") << "tab=1; Combo7=!!Add New Contact to List; Text7=Acme; Command5"
            << QStringList{"1 contact.add contacts.dat Acme company_name:->Acme"};
        QTest::newRow("contact changed") << "tab=1; Combo7=Calibra; Command12; Text8=Jo; Yes; Command5"
            << QStringList{"1 contact.change contacts.dat Calibra contact_name:Jane>Jo"};
        QTest::newRow("contact removed") << "tab=1; Combo7=Calibra; Yes; Command6"
            << QStringList{"1 contact.remove contacts.dat Calibra company_name:Calibra>- contact_name:Jane>-"};
        QTest::newRow("account added") << "passwordproena; Text3=Al; Text1=p; Text2=p; Check4; Command1"
            << QStringList{"1 account.add security.dat Al name:->Al password:->(set) "
                           "maintenance_right:-> 0  read_right:-> 1  edit_right:-> 1"};
        QTest::newRow("account changed") << "passwordproena; Combo1=Zed; Text1=n; Text2=n; Command1"
            << QStringList{"1 account.change security.dat Zed password:(set)>(changed) read_right: 0 > 1"};
        QTest::newRow("options changed") << "passwordproena; Check6; Text11=10; Command2"
                                         << QStringList{"1 options.change   Pass/Word:>NO Reminder/On:>1 Reminder/Days:>10"};
        QTest::newRow("account removed") << "passwordproena; Combo1=Zed; Yes; Command3"
            << QStringList{"1 account.remove security.dat Zed name:Zed>- password:(set)>- "
                           "maintenance_right: 0 >- read_right: 0 >- edit_right: 1 >-"};
        // clang-format on
    }
    void changes_leave_their_entries()
    {
        QFETCH(QString, steps);
        WindowFixture f(
            {.products = file_of(
                 {make_record({"DMM-014", "Bench", "AVAILABLE", " 12 ", "3", "March", "2025"})}),
             .history = crlf_lines(
                 {"DMM-014", "05/12/2025", "80.00", "#1RESULT", "In tolerance", "#2RESULT"}),
             .contacts = crlf_lines({"Calibra", "Jane", "", "", "", "", "", "", "", "", "", ""}),
             .security = crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 "})});
        f.run(steps);
        QTEST(entries_of(f.env), "entries");
    }

    // Every log-in attempt, under the name typed; never the password.
    void log_ins_leave_their_entries()
    {
        set_login_waits(std::chrono::milliseconds(40));
        const auto restore = qScopeGuard([] { set_login_waits(std::nullopt); });
        WindowFixture f({.security = crlf_lines({"Boss", "Pw", " 1 ", " 1 ", " 1 "}),
                         .settings = {{"Pass/Word", "YES"}}});
        f.run("Text2=Boss; Text1=wrong; Command1");
        QTest::qWait(60); // the wait after a failed attempt
        f.run("Text1=Pw; Command1; passwordproena; Combo1=Boss; Text1=n; Text2=n; Command1");
        QCOMPARE(
            entries_of(f.env),
            (QStringList{"1 login.fail  Boss by Boss", "2 login.ok  Boss by Boss",
                         "3 account.change security.dat Boss password:(set)>(changed) by Boss"}));
        QVERIFY(!QByteArray::fromStdString(f.env.read_file("audit.log")).contains("wrong"));
    }

    // At start, a data file that changed since its last entry gets an entry saying so, and a
    // trail changed by hand is told once; entries go on from its real last line.
    void changes_outside_are_told()
    {
        const std::string products = file_of({make_record({"DMM-014", "Bench"})});
        {
            WindowFixture f({.products = products, .prepare = trail_naming(sha256_hex("old"))});
            QCOMPARE(shown_messages(), QStringList());
            QCOMPARE(entries_of(f.env).value(2),
                     QString::fromStdString("3 file.outside_change products.dat  sha256:" +
                                            sha256_hex("old") + ">" + sha256_hex(products)));
        }
        WindowFixture f(
            {.products = products, .prepare = trail_naming(sha256_hex(products), true)});
        QCOMPARE(shown_messages(),
                 QStringList{"Warning \"Durnmoor\": audit.log has been changed outside Durnmoor: "
                             "entry 2 does not follow entry 1. (Ok, default Ok)"});
        f.run("Command1; Text1=N-1; Command4");
        QVERIFY(f.env.read_file("audit.log").find("\"seq\":3") != std::string::npos);
    }

    // During a run, a file that another program changed since this one's last save gets one
    // entry saying so, before the next save's own; whether or not the window read it again in
    // between. A file written again with the same bytes, or left alone, gets none.
    void changes_outside_between_saves_data()
    {
        QTest::addColumn<QString>("outside"); // "A>B": another program puts B for A
        QTest::addColumn<QString>("between"); // steps before the second save
        QTest::addColumn<QStringList>("entries");
        const QString first = "1 instrument.change products.dat DMM-014 description:Bench>Meter";
        // clang-format off
        const QStringList seen{first,
            "2 file.outside_change products.dat  sha256:{saved}>{edited}",
            "3 instrument.change products.dat DMM-014 description:Multimeter>Probe"};
        const QStringList none{first,
            "2 instrument.change products.dat DMM-014 description:Meter>Probe"};
        QTest::newRow("changed") << "Meter>Multimeter" << "" << seen;
        QTest::newRow("changed, listed again") << "Meter>Multimeter" << "fulllist; " << seen;
        QTest::newRow("same bytes written") << "Meter>Meter" << "" << none;
        QTest::newRow("left alone") << "" << "" << none;
        // clang-format on
    }
    void changes_outside_between_saves()
    {
        QFETCH(QString, outside);
        QFETCH(QString, between);
        QFETCH(QStringList, entries);
        set_settling_time(0); // as in a register at rest, where a file's identity shows a change
        const auto settle_again = qScopeGuard([] { set_settling_time(std::nullopt); });
        WindowFixture f({.products = file_of({make_record({"DMM-014", "Bench"})})});
        f.run("row=0; double-click=0; Text2=Meter; Yes; Command4");
        const std::string saved = f.products();
        std::string edited = saved;
        if (!outside.isEmpty()) {
            const std::string from = outside.section('>', 0, 0).toStdString();
            edited.replace(edited.find(from), from.size(), outside.section('>', 1).toStdString());
            written_elsewhere(f.env, "products.dat", edited);
        }
        f.run(between + "row=0; double-click=0; Text2=Probe; Yes; Command4");
        entries.replaceInStrings("{saved}", QString::fromStdString(sha256_hex(saved)));
        entries.replaceInStrings("{edited}", QString::fromStdString(sha256_hex(edited)));
        QCOMPARE(entries_of(f.env), entries);
    }

    // A change made while the check at start still runs is recorded after what the check
    // finds: its entry follows the file.outside_change entry.
    void a_change_during_the_check_at_start_comes_after_it()
    {
        std::atomic<bool> appended = false;
        const auto hold_the_check = [&appended](FileStep step, const QString &name) {
            if (step == FileStep::append)
                appended = true;
            // The check waits to read the trail until an entry is being written, or long
            // enough for the change below to be made first.
            else if (step == FileStep::open && name == "audit.log" &&
                     QThread::currentThread() != qApp->thread())
                for (int waited = 0; waited < 200 && !appended; waited += 5)
                    QThread::msleep(5);
            return 0;
        };
        const std::string products = file_of({make_record({"DMM-014", "Bench"})});
        WindowFixture f({.products = products,
                         .prepare =
                             [&](TestEnv &env) {
                                 trail_naming(sha256_hex("old"))(env);
                                 set_file_fault(hold_the_check);
                             },
                         .trail_checked = false});
        f.run("Command1; Text1=N-1; Command4");
        const QStringList entries = entries_of(f.env);
        QCOMPARE(entries.value(2),
                 QString::fromStdString("3 file.outside_change products.dat  "
                                        "sha256:" +
                                        sha256_hex("old") + ">" + sha256_hex(products)));
        QVERIFY2(entries.size() == 4 && entries[3].startsWith("4 instrument.add products.dat N-1 "),
                 qPrintable(entries.join('\n')));
    }

    // No entry, no change: the user is told why. An entry for a change that then could not
    // be written is followed by a failed one naming it.
    void a_change_is_recorded_or_not_made()
    {
        WindowFixture f(
            {.products = file_of({make_record({"DMM-014", "Bench"})}),
             .history = crlf_lines({"DMM-014", "05/12/2025", "", "#1RESULT", "ok", "#2RESULT"})});
        const std::string before = f.products(), history = f.history();
        f.run("block audit.log; Command1; Text1=N-1; Command4");
        QCOMPARE(f.products(), before);
        QCOMPARE(shown_messages().size(), 1);
        QVERIFY2(shown_messages()[0].startsWith(
                     "Warning \"Durnmoor\": products.dat could not be saved.\naudit.log: "),
                 qPrintable(shown_messages()[0]));
        QVERIFY(QDir(f.env.dir()).rmdir("audit.log"));

        set_file_fault(
            [](FileStep step, const QString &) { return step == FileStep::rename ? EIO : 0; });
        f.run("Command4; Command2; row=0; tab=3; history row=0; Command11");
        QCOMPARE(f.products(), before);
        QCOMPARE(f.history(), history);
        const QStringList entries = entries_of(f.env);
        QCOMPARE(entries.size(), 4);
        QVERIFY(entries[0].startsWith("1 instrument.add products.dat N-1 "));
        QCOMPARE(entries[1], "2 failed products.dat  of 1");
        QVERIFY(entries[2].startsWith("3 calibration.remove history.dat DMM-014|05/12/2025 "));
        QCOMPARE(entries[3], "4 failed history.dat  of 3");
    }
};

QTEST_MAIN(TrailEntriesTest)
#include "tst_trail_entries.moc"
