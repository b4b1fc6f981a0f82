// What the windows' changes leave in the audit trail: an entry per record changed, written
// before the file is replaced; a change that cannot be recorded is not made, and one that
// could not be written is followed by a failed entry.
#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "store/file_faults.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Each entry in one line: seq, action, file, key and changes ("field:old>new").
QStringList entries_of(const TestEnv &env, std::string *after = nullptr)
{
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
        if (entry->time != "2026-12-05T09:30:00.000Z" || !entry->user.starts_with("os:"))
            return {"wrong time or user: " + line};
        if (after)
            *after = entry->after;
    }
    return shown;
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
        QTest::newRow("calibrated: the instrument's date")
            << "row=0; double-click=0; tab=3; Command9; Text26=ok; Yes; Command10"
            << QStringList{"1 instrument.change products.dat DMM-014 lastcal_day:3>05 "
                           "lastcal_month:March>December lastcal_year:2025>2026"};
        // clang-format on
    }
    void changes_leave_their_entries()
    {
        QFETCH(QString, steps);
        WindowFixture f({.products = file_of({make_record(
                             {"DMM-014", "Bench", "AVAILABLE", " 12 ", "3", "March", "2025"})})});
        f.run(steps);
        std::string after;
        QTEST(entries_of(f.env, &after), "entries");
        if (!after.empty())
            QCOMPARE(after, sha256_hex(f.products()));
    }

    // No entry, no change: the user is told why. An entry for a change that then could not
    // be written is followed by a failed one naming it.
    void a_change_is_recorded_or_not_made()
    {
        WindowFixture f({.products = file_of({make_record({"DMM-014", "Bench"})})});
        const std::string before = f.products();
        f.run("block audit.log; Command1; Text1=N-1; Command4");
        QCOMPARE(f.products(), before);
        QCOMPARE(shown_messages().size(), 1);
        QVERIFY2(shown_messages()[0].startsWith(
                     "Warning \"Durnmoor\": products.dat could not be saved.\naudit.log: "),
                 qPrintable(shown_messages()[0]));
        QVERIFY(QDir(f.env.dir()).rmdir("audit.log"));

        set_file_fault(
            [](FileStep step, const QString &) { return step == FileStep::rename ? EIO : 0; });
        f.run("Command4");
        QCOMPARE(f.products(), before);
        const QStringList entries = entries_of(f.env);
        QCOMPARE(entries.size(), 2);
        QVERIFY(entries[0].startsWith("1 instrument.add products.dat N-1 "));
        QCOMPARE(entries[1], "2 failed products.dat  of 1");
    }
};

QTEST_MAIN(TrailEntriesTest)
#include "tst_trail_entries.moc"
