// The audit trail: each entry's exact line and its reading back, the chain that shows a line
// changed, removed or torn by hand, appends that fail without touching the file, the changes
// of a record edit, and the index a viewer reads the trail by.
#include "access/accounts_file.h"
#include "audit/audit_trail.h"
#include "audit/record_changes.h"
#include "audit/sha256.h"
#include "audit/trail_index.h"
#include "contacts/contacts_file.h"
#include "register/product_record.h"
#include "store/file_faults.h"
#include "support/test_env.h"

#include <QDir>
#include <QJsonDocument>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(AuditEntry)

namespace {

AuditEntry entry_of(std::string user, std::string action, std::string file = {},
                    std::vector<std::string> key = {}, std::string after = {})
{
    AuditEntry entry;
    entry.user = std::move(user);
    entry.action = std::move(action);
    entry.file = std::move(file);
    entry.key = std::move(key);
    entry.after = std::move(after);
    return entry;
}

std::vector<std::string> lines_of(std::string_view bytes)
{
    std::vector<std::string> out;
    for (std::size_t lf; (lf = bytes.find('\n')) != std::string_view::npos;
         bytes.remove_prefix(lf + 1))
        out.emplace_back(bytes.substr(0, lf));
    if (!bytes.empty())
        out.emplace_back(bytes);
    return out;
}

std::string joined(const std::vector<std::string> &lines)
{
    std::string out;
    for (const auto &line : lines)
        out += line + '\n';
    return out;
}

// A trail of count entries that chains, each line about width bytes long.
std::string chained_trail(int count, std::size_t width = 0)
{
    std::string out, prev(no_prev_line);
    for (int i = 1; i <= count; ++i) {
        AuditEntry entry = entry_of("ann", audit_action::instrument_change, "products.dat",
                                    {std::to_string(i)}, sha256_hex(std::to_string(i)));
        entry.seq = i;
        entry.time = "2026-12-05T09:30:00.000Z";
        entry.changes = {{"description", std::string(width, 'x'), "DMM"}};
        entry.prev = prev;
        const std::string line = audit_line(entry);
        prev = sha256_hex(line);
        out += line + '\n';
    }
    return out;
}

// Each change as "field old=... new=...", a side left out when the change has none.
QStringList described(const std::vector<FieldChange> &changes)
{
    QStringList out;
    for (const FieldChange &change : changes)
        out << QString::fromStdString(change.field) +
                   (change.old_value ? " old=" + QString::fromStdString(*change.old_value) : "") +
                   (change.new_value ? " new=" + QString::fromStdString(*change.new_value) : "");
    return out;
}

} // namespace

class AuditTrailTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_file_fault(nullptr); }

    void writes_the_exact_line_data()
    {
        QTest::addColumn<AuditEntry>("entry");
        QTest::addColumn<std::string>("line");
        const std::string zeros(no_prev_line);
        AuditEntry change =
            entry_of("os:ann", "instrument.change", "products.dat", {"DMM-7"}, sha256_hex("abc"));
        change.seq = 1;
        change.time = rfc3339_utc(
            QDateTime(QDate(2026, 12, 6), QTime(21, 41, 7, 123), Qt::OffsetFromUTC, 3600));
        change.changes = {{"description", "Meter \"A\"", "Meter\\B\n"}};
        change.prev = zeros;
        QTest::newRow("change, one key")
            << change
            << std::string(
                   "{\"seq\":1,\"time\":\"2026-12-06T20:41:07.123Z\",\"user\":\"os:ann\","
                   "\"action\":\"instrument.change\",\"file\":\"products.dat\",\"key\":\"DMM-7\","
                   "\"changes\":[{\"field\":\"description\",\"old\":\"Meter "
                   "\\\"A\\\"\",\"new\":\"Meter\\\\B\\n\"}],\"after\":"
                   "\"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\",\"prev\":"
                   "\"0000000000000000000000000000000000000000000000000000000000000000\"}");
        AuditEntry added =
            entry_of("Jörg", "calibration.add", "history.dat", {"7", "05/12/2026"}, sha256_hex(""));
        added.seq = 12;
        added.time = "2026-12-05T09:30:00.000Z";
        added.changes = {{"cost", std::nullopt, "\x01\t"}, {"result", "", std::nullopt}};
        added.prev = zeros;
        QTest::newRow("add, two keys")
            << added
            << std::string(
                   R"({"seq":12,"time":"2026-12-05T09:30:00.000Z","user":"Jörg","action":"calibration.add","file":"history.dat","key":["7","05/12/2026"],"changes":[{"field":"cost","new":"\u0001\t"},{"field":"result","old":""}],"after":"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855","prev":"0000000000000000000000000000000000000000000000000000000000000000"})");
        AuditEntry failed = entry_of("ann", "failed", "products.dat");
        failed.seq = 13;
        failed.time = "t";
        failed.entry = 12;
        failed.prev = "p";
        QTest::newRow("failed")
            << failed
            << std::string(
                   R"({"seq":13,"time":"t","user":"ann","action":"failed","file":"products.dat","entry":12,"prev":"p"})");
    }
    void writes_the_exact_line()
    {
        QFETCH(AuditEntry, entry);
        QFETCH(std::string, line);
        QCOMPARE(audit_line(entry), line);
        QCOMPARE(read_audit_line(line), std::optional(entry));
    }

    void reads_back_awkward_text_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::newRow("quotes and backslashes") << std::string("a \"b\" \\c\\\\ \\u0041 \\\"");
        QTest::newRow("control characters") << std::string("\x01\x02\b\f\n\r\t\x1f\x7f\0z", 12);
        QTest::newRow("non-ASCII") << std::string("Müller µm ÷ 測定 😀 \u2028");
        QTest::newRow("empty") << std::string();
    }
    void reads_back_awkward_text()
    {
        QFETCH(std::string, text);
        AuditEntry entry = entry_of(text, text, text, {text, text}, text);
        entry.seq = 99;
        entry.time = text;
        entry.entry = 3;
        entry.changes = {{text, text, text}, {text, std::nullopt, text}, {text, text, {}}};
        entry.prev = text;
        const std::string line = audit_line(entry);
        QVERIFY(line.find_first_of("\n\r") == std::string::npos);
        QCOMPARE(read_audit_line(line), std::optional(entry));
        // Another JSON reader takes the line for the same texts.
        const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(line));
        QVERIFY(json.isObject());
        for (const QJsonValue &value : {json["user"], json["key"][1], json["changes"][1]["new"]})
            QCOMPARE(value.toString(), QString::fromStdString(text));
    }

    void tells_lines_that_are_no_entry_data()
    {
        QTest::addColumn<std::string>("line");
        QTest::addColumn<bool>("entry");
        const std::string tail = R"(,"time":"t","user":"u","action":"a","prev":"p"})";
        QTest::newRow("whole") << R"({"seq":1)" + tail << true;
        QTest::newRow("blanks, other order, unknown keys")
            << std::string(
                   R"( { "prev" : "p", "x":[{"y":[1e5,-0.5,null,true]}], "action":"certificate.attach",)"
                   " \"time\":\"t\",\"user\":\"\\u00e9\\ud83d\\ude00\",\"seq\":7 } ")
            << true;
        QTest::newRow("empty line") << std::string() << false;
        QTest::newRow("not an object") << std::string("[1]") << false;
        QTest::newRow("prev missing")
            << std::string(R"({"seq":1,"time":"t","user":"u","action":"a"})") << false;
        QTest::newRow("seq 0") << R"({"seq":0)" + tail << false;
        QTest::newRow("seq not whole") << R"({"seq":1.5)" + tail << false;
        QTest::newRow("seq twice") << R"({"seq":1,"seq":1)" + tail << false;
        QTest::newRow("bytes after it") << R"({"seq":1)" + tail + "x" << false;
        QTest::newRow("cut short") << R"({"seq":1)" + tail.substr(0, 20) << false;
        // The time's text replaced: as built here it reads, but not with these bytes in it.
        const std::string time = "{\"seq\":1,\"time\":\"", after_time = tail.substr(10);
        QTest::newRow("time as built") << time + "\u00e9" + after_time << true;
        QTest::newRow("raw tab in text") << time + "a\tb" + after_time << false;
        QTest::newRow("not UTF-8") << time + "\xe9" + after_time << false;
        QTest::newRow("lone surrogate") << time + "\\ud800" + after_time << false;
        QTest::newRow("change without field")
            << R"({"seq":1,"changes":[{"old":"a"}])" + tail << false;
    }
    void tells_lines_that_are_no_entry()
    {
        QFETCH(std::string, line);
        QFETCH(bool, entry);
        const auto read = read_audit_line(line);
        QCOMPARE(read.has_value(), entry);
        // What is read is what another JSON reader finds there.
        if (read)
            QCOMPARE(QString::fromStdString(read->user),
                     QJsonDocument::fromJson(QByteArray::fromStdString(line))["user"].toString());
    }

    // Bytes hashed in pieces have the hash of them all, wherever they are cut.
    void hashes_pieces()
    {
        const std::string text = chained_trail(3);
        for (const std::size_t cut :
             {std::size_t(0), std::size_t(1), text.size() / 2, text.size()}) {
            Sha256Pieces hash;
            hash.add(std::string_view(text).substr(0, cut));
            hash.add(std::string_view(text).substr(cut));
            QCOMPARE(hash.hex(), sha256_hex(text));
        }
    }

    void numbering_goes_on_after_reopening()
    {
        TestEnv env;
        {
            AuditTrail trail(env.dir());
            QVERIFY(trail.open());
            // The last two are one rewrite of two records.
            for (const auto &[file, contents] : {std::pair{"products.dat", "p1"},
                                                 {"history.dat", "h2"},
                                                 {"products.dat", "p3"},
                                                 {"products.dat", "p3"}}) {
                AuditEntry entry =
                    entry_of("ann", "instrument.change", file, {"1"}, sha256_hex(contents));
                QCOMPARE(trail.append(entry), std::nullopt);
                QCOMPARE(entry.time, "2026-12-05T09:30:00.000Z");
            }
            for (const std::int64_t seq : {3, 4}) {
                AuditEntry failed = entry_of("ann", audit_action::failed, "products.dat");
                failed.entry = seq;
                QCOMPARE(trail.append(failed), std::nullopt);
            }
        }
        AuditTrail trail(env.dir());
        QVERIFY(trail.open());
        QCOMPARE(trail.first_break(), 0);
        QCOMPARE(trail.last_seq(), 6);
        // That rewrite failed: products.dat still holds what the first entry wrote.
        QCOMPARE(trail.last_after("products.dat"), sha256_hex("p1"));
        QCOMPARE(trail.last_after("history.dat"), sha256_hex("h2"));
        QCOMPARE(trail.last_after("contacts.dat"), std::string());
        AuditEntry next = entry_of("ann", audit_action::login_ok);
        QCOMPARE(trail.append(next), std::nullopt);
        QCOMPARE(next.seq, 7);

        const std::vector<std::string> lines = lines_of(env.read_file("audit.log"));
        QCOMPARE(lines.size(), 7u);
        QVERIFY(env.read_file("audit.log").ends_with('\n'));
        std::string prev(no_prev_line);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto entry = read_audit_line(lines[i]);
            QVERIFY(entry);
            QCOMPARE(entry->seq, std::int64_t(i + 1));
            QCOMPARE(entry->prev, prev);
            prev = sha256_hex(lines[i]);
        }
    }

    void finds_where_the_chain_breaks_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("entry");           // the first that does not follow
        QTest::addColumn<int>("after_appending"); // once a line follows the real last one
        QTest::newRow("middle line changed") << "change 3" << 4 << 4;
        QTest::newRow("line removed") << "remove 3" << 3 << 3;
        QTest::newRow("lines swapped") << "swap 2" << 2 << 2;
        QTest::newRow("blank line at the end") << "blank" << 6 << 6;
        QTest::newRow("last line cut short") << "cut" << 5 << 5;
        // As someone who knows how the chain is made would leave it.
        QTest::newRow("seq changed, chain made again") << "renumber 3 rechain" << 3 << 3;
        QTest::newRow("first line removed, chain made again") << "remove 1 rechain" << 1 << 1;
        // Its LF is all it lacked: the LF that the append puts first makes it whole again.
        QTest::newRow("last LF lost") << "torn" << 5 << 0;
    }
    void finds_where_the_chain_breaks()
    {
        QFETCH(QString, edit);
        QFETCH(int, entry);
        QFETCH(int, after_appending);
        TestEnv env;
        std::vector<std::string> lines = lines_of(chained_trail(5));
        const int n = edit.section(' ', 1, 1).toInt() - 1;
        if (edit.startsWith("change"))
            lines[n].replace(lines[n].find("ann"), 3, "bob");
        else if (edit.startsWith("remove"))
            lines.erase(lines.begin() + n);
        else if (edit.startsWith("swap"))
            std::swap(lines[n], lines[n + 1]);
        else if (edit.startsWith("renumber"))
            lines[n].replace(0, 8, "{\"seq\":9");
        else if (edit == "blank")
            lines.emplace_back();
        if (edit.endsWith("rechain")) {
            std::string prev(no_prev_line);
            for (std::string &line : lines) {
                AuditEntry made = read_audit_line(line).value();
                made.prev = std::exchange(prev, {});
                line = audit_line(made);
                prev = sha256_hex(line);
            }
        }
        std::string bytes = joined(lines);
        if (edit == "cut")
            bytes.resize(bytes.size() - 30);
        if (edit == "torn")
            bytes.pop_back();
        env.write_file("audit.log", bytes);

        AuditTrail trail(env.dir());
        QVERIFY(trail.open());
        QCOMPARE(trail.first_break(), entry);
        QCOMPARE(trail.break_message(),
                 QString("audit.log has been changed outside Durnmoor: entry %1 does not follow "
                         "entry %2.")
                     .arg(entry)
                     .arg(entry - 1));
        AuditEntry next = entry_of("ann", audit_action::login_ok);
        QCOMPARE(trail.append(next), std::nullopt);
        // Whole lines: what was there, a LF where the last line lacked it, the new line.
        const std::vector<std::string> before = lines_of(bytes);
        QCOMPARE(env.read_file("audit.log"), joined(before) + audit_line(next) + '\n');
        QCOMPARE(next.prev, sha256_hex(before.back()));
        AuditTrail again(env.dir());
        QVERIFY(again.open());
        QCOMPARE(again.first_break(), after_appending);
    }

    void failed_append_leaves_the_trail_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        const QString no_space = "No space left on device", io = "Input/output error";
        // clang-format off
        QTest::newRow("audit.log is a folder") << "folder" << "It is not a regular file.";
        QTest::newRow("audit.log is a link") << "link" << "Too many levels of symbolic links";
        QTest::newRow("data folder missing") << "no folder" << "No such file or directory";
        QTest::newRow("trail unreadable") << "read" << io;
        QTest::newRow("write refused") << "append" << no_space;
        QTest::newRow("write refused, new trail") << "append new" << no_space;
        QTest::newRow("flush refused") << "sync" << io;
        QTest::newRow("part written") << "part" << "File too large";
        // clang-format on
    }
    void failed_append_leaves_the_trail()
    {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        TestEnv env;
        const QString folder = setup == "no folder" ? env.path("gone") : env.dir();
        if (setup != "append new")
            env.write_file("audit.log", chained_trail(2));
        if (setup == "folder")
            QVERIFY(QDir(env.dir()).remove("audit.log") && QDir(env.dir()).mkdir("audit.log"));
        if (setup == "link") {
            QVERIFY(QDir(env.dir()).rename("audit.log", "elsewhere.log"));
            QVERIFY(QFile::link(env.path("elsewhere.log"), env.path("audit.log")));
        }
        const std::string before = env.read_file(setup == "link" ? "elsewhere.log" : "audit.log");
        set_file_fault([setup](FileStep step, const QString &name) {
            const bool planted = (setup == "read" && step == FileStep::read) ||
                                 (setup.startsWith("append") && step == FileStep::append) ||
                                 (setup == "sync" && step == FileStep::sync_append);
            return planted && name == "audit.log" ? (step == FileStep::append ? ENOSPC : EIO) : 0;
        });
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        if (setup == "part") {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit room{before.size() + 20, saved.rlim_max};
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &room), 0);
        }

        AuditTrail trail(folder);
        // Two entries of one change: both go, or neither.
        AuditEntry entries[] = {entry_of("ann", audit_action::login_fail),
                                entry_of("bob", audit_action::login_fail)};
        const auto outcome = trail.append(std::span(entries));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(outcome, std::optional(reason));
        QCOMPARE(env.read_file(setup == "link" ? "elsewhere.log" : "audit.log"), before);
        QCOMPARE(env.exists("audit.log"), setup != "append new");
        QCOMPARE(QFileInfo::exists(folder), setup != "no folder");
        // Nothing of the failure stays with the trail: the next append follows the last line.
        set_file_fault(nullptr);
        if (setup == "sync" || setup == "part" || setup == "append") {
            QCOMPARE(trail.append(std::span(entries)), std::nullopt);
            const std::vector<std::string> after = lines_of(env.read_file("audit.log"));
            QCOMPARE(after.size(), 4u);
            QCOMPARE(entries[0].seq, 3);
            QCOMPARE(entries[0].prev, sha256_hex(after[1]));
            QCOMPARE(entries[1].seq, 4);
            QCOMPARE(entries[1].prev, sha256_hex(after[2]));
            QVERIFY(trail.open());
            QCOMPARE(trail.first_break(), 0);
        }
    }

    void lists_the_changes_of_a_record_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("before"); // empty for an add
        QTest::addColumn<QStringList>("after");  // empty for a delete
        QTest::addColumn<QStringList>("changes");
        QStringList product(50), changed(50);
        product[0] = "7", product[1] = "DMM", product[19] = "kept", product[49] = "x";
        changed = product;
        changed[1] = "Multimeter", changed[2] = "Lab 2", changed[19] = "", changed[14] = "";
        QTest::newRow("instrument changed")
            << "products.dat" << product << changed
            << QStringList{"description old=DMM new=Multimeter", "location old= new=Lab 2",
                           "reserved_20 old=kept new="};
        const QStringList account{"ann", "secret", " 1 ", " 1 ", " 0 "};
        QTest::newRow("password changed")
            << "security.dat" << account << QStringList{"ann", "other", " 1 ", " 1 ", " 1 "}
            << QStringList{"password old=(set) new=(changed)", "edit_right old= 0  new= 1 "};
        QTest::newRow("password unchanged")
            << "security.dat" << account << QStringList{"bob", "secret", " 1 ", " 1 ", " 0 "}
            << QStringList{"name old=ann new=bob"};
        QTest::newRow("result changed")
            << "history.dat" << QStringList{"7", "01/02/2026", " 10 ", "ok"}
            << QStringList{"7", "01/02/2026", " 10 ", "ok\nrecal"}
            << QStringList{"result old=ok new=ok\nrecal"};
    }
    void lists_the_changes_of_a_record()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, changes);
        auto bytes = [](const QStringList &lines) {
            std::vector<std::string> out;
            for (const QString &line : lines)
                out.push_back(line.toLocal8Bit().toStdString());
            return out;
        };
        const TrailFieldNames names = trail_fields_of(file.toStdString());
        const auto edit = before.isEmpty()  ? added_fields(names, bytes(after))
                          : after.isEmpty() ? removed_fields(names, bytes(before))
                                            : changed_fields(names, bytes(before), bytes(after));
        QCOMPARE(described(edit), changes);
        // The trail's names keep up with the records they name.
        QCOMPARE(std::size(product_trail_fields), std::size_t(first_reserved_line - 1));
        QCOMPARE(std::size(contact_trail_fields), std::size_t(contact_line_count));
        QCOMPARE(std::size(account_trail_fields), std::size_t(account_line_count));
    }

    void indexes_lines_as_they_come()
    {
        TestEnv env;
        TrailIndex index(env.dir());
        QVERIFY(index.refresh());
        QCOMPARE(index.size(), 0u);
        // Lines of 1 kB over more than one of the pieces the trail is read in.
        const std::string bytes = chained_trail(5000, 1000);
        env.write_file("audit.log", bytes);
        const std::vector<std::string> lines = lines_of(bytes);
        QVERIFY(index.refresh());
        QCOMPARE(index.size(), lines.size());
        for (std::size_t i : {std::size_t(0), std::size_t(4100), lines.size() - 1})
            QCOMPARE(index.line(i), std::optional(lines[i]));
        QCOMPARE(index.line(lines.size()), std::nullopt);
        AuditTrail trail(env.dir());
        QVERIFY(trail.open());
        QCOMPARE(trail.first_break(), 0);
        QCOMPARE(trail.last_seq(), 5000);

        // A line torn, then made whole by the next append; then the trail is replaced.
        QFile file(env.path("audit.log"));
        QVERIFY(file.open(QIODevice::Append) && file.write("{\"torn\"") == 7);
        file.close();
        QVERIFY(index.refresh());
        QCOMPARE(index.size(), lines.size() + 1);
        QCOMPARE(index.line(lines.size()), std::optional<std::string>("{\"torn\""));
        QVERIFY(trail.open());
        AuditEntry next = entry_of("ann", audit_action::login_ok);
        QCOMPARE(trail.append(next), std::nullopt);
        QVERIFY(index.refresh());
        QCOMPARE(index.size(), lines.size() + 2);
        QCOMPARE(index.line(lines.size()), std::optional<std::string>("{\"torn\""));
        QCOMPARE(index.line(lines.size() + 1), std::optional(audit_line(next)));
        env.write_file("audit.log", lines[0] + '\n');
        QVERIFY(index.refresh());
        QCOMPARE(index.size(), 1u);
        QCOMPARE(index.line(0), std::optional(lines[0]));
    }
};

QTEST_GUILESS_MAIN(AuditTrailTest)
#include "tst_audit_trail.moc"
