#include "common/file_rewrite.h"

#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "backup/session_backup.h"
#include "common/file_failure.h"

#include <QFileInfo>

namespace durnmoor {

namespace {

RewriteRecorder recorder;

// Each data file's identity when its contents were last known to be what the trail's last
// entry for it names: after this program's own recorded write, or after a hash. While the
// file keeps that identity, no other program has changed it and nothing needs hashing.
struct Vouched {
    QString path;
    FileIdentity identity;
};
std::vector<Vouched> vouched;
QFuture<TrailCheck> start_check;
bool start_check_pending = false;

std::optional<FileIdentity> vouched_for(const QString &path)
{
    for (const Vouched &known : vouched)
        if (known.path == path)
            return known.identity;
    return std::nullopt;
}

void vouch(const QString &path, const std::optional<FileIdentity> &identity)
{
    std::erase_if(vouched, [&path](const Vouched &known) { return known.path == path; });
    if (identity)
        vouched.push_back({path, *identity});
}

// The trail is used only once the check at start has ended, and what it hashed is known.
void wait_for_start_check()
{
    if (!std::exchange(start_check_pending, false))
        return;
    start_check.waitForFinished();
    if (start_check.isResultReadyAt(0))
        for (const auto &[path, identity] : start_check.result().settled)
            vouch(path, identity);
    start_check = {};
}

std::string name_of(const QString &path)
{
    return QFileInfo(path).fileName().toStdString();
}

// What the trail says the file holds; empty when it has no entry for it, and then there is
// nothing to compare the file with.
std::string trail_says(const QString &path)
{
    return recorder.trail ? recorder.trail->last_after(name_of(path)) : std::string();
}

// The identity of the caller's kept copy when the rewrite may take the copy for the file: a
// copy parsed from what another program left would not show its change, and the bytes read
// anew are hashed to see it.
const FileIdentity *kept_to_trust(const DataFilePlace &place, const FileIdentity *kept)
{
    wait_for_start_check();
    if (!kept || trail_says(place.path).empty())
        return kept;
    return vouched_for(place.path) == *kept ? kept : nullptr;
}

SessionBackup *session_backup = nullptr;
} // namespace

SessionBackup *FileRewrite::session_backup_in_use()
{
    return session_backup;
}

void FileRewrite::set_session_backup(SessionBackup *backup)
{
    session_backup = backup;
}

WriteOutcome FileRewrite::back_up_first() const
{
    if (!session_backup || !file_.ok())
        return {}; // a file that was not read is refused by its replace, with nothing to keep
    const BackupOutcome made = session_backup->before_change();
    if (made.ok)
        return {};
    return {false, file_.file_name(), made.file, made.reason, {}};
}

void FileRewrite::set_recorder(RewriteRecorder given)
{
    recorder = std::move(given);
    vouched.clear();
    start_check = {};
    start_check_pending = false;
}

void FileRewrite::set_start_check(QFuture<TrailCheck> check)
{
    start_check = std::move(check);
    start_check_pending = true;
}

void FileRewrite::look_for_outside_change()
{
    const QString &path = file_.path();
    const std::string last = trail_says(path);
    if (last.empty())
        return;
    const std::optional<FileIdentity> &now = file_.identity();
    if (now && vouched_for(path) == now)
        return; // as this program last left it (and then bytes() may be empty)
    std::string hash = sha256_hex(file_.bytes());
    if (hash == last)
        vouch(path, now);
    else
        outside_ = std::move(hash);
}

WriteOutcome FileRewrite::record(std::string_view bytes)
{
    if (!recorder.trail)
        return {};
    const std::string user = recorder.user ? recorder.user() : std::string();
    const std::string file = file_.file_name().toStdString();
    // The outside change first, so that a file's afters, read in order, name every state it
    // was in; all of them in one write and one flush, so that a change of many records waits
    // for the disk once, and is recorded whole or not at all.
    std::vector<AuditEntry> entries;
    entries.reserve(notes_.size() + 1);
    if (outside_ && recorder.trail->last_after(file) != *outside_)
        entries.push_back(
            outside_change_entry(user, file, recorder.trail->last_after(file), *outside_));
    const std::size_t own = entries.size();
    if (!notes_.empty()) {
        const std::string after = sha256_hex(bytes);
        for (AuditNote &note : notes_)
            entries.push_back({.user = user,
                               .action = std::move(note.action),
                               .file = file,
                               .key = std::move(note.key),
                               .changes = std::move(note.changes),
                               .after = after});
    }
    if (const std::optional<QString> problem = recorder.trail->append(std::span(entries)))
        return {false, file_.file_name(), QString::fromLatin1(audit_log_name), *problem, {}};
    outside_.reset();
    notes_.clear();
    for (std::size_t i = own; i < entries.size(); ++i)
        recorded_.push_back(entries[i].seq);
    return {};
}

std::optional<QString> FileRewrite::record_event(const std::string &user, AuditNote note)
{
    wait_for_start_check();
    if (!recorder.trail)
        return std::nullopt;
    AuditEntry entry{.user = user,
                     .action = std::move(note.action),
                     .key = std::move(note.key),
                     .changes = std::move(note.changes)};
    return recorder.trail->append(entry);
}

void FileRewrite::record_failed()
{
    for (const std::int64_t seq : std::exchange(recorded_, {})) {
        AuditEntry failed{.user = recorder.user ? recorder.user() : std::string(),
                          .action = audit_action::failed,
                          .file = file_.file_name().toStdString(),
                          .entry = seq};
        recorder.trail->append(failed); // the best that can be done when even this fails
    }
}

FileRewrite::FileRewrite(QWidget *parent, const DataFilePlace &place, const FileIdentity *kept)
    : parent_(parent), file_(DataFile::read_for_rewrite(place, kept_to_trust(place, kept)))
{
    report_read_failure(parent_, file_, ReadPurpose::change);
    if (file_.ok())
        look_for_outside_change();
}

void FileRewrite::finished(bool replaced)
{
    // What a write left is known only when its entry is in the trail.
    vouch(file_.path(),
          replaced && !recorded_.empty() ? file_.identity() : std::optional<FileIdentity>());
}

bool FileRewrite::finish(std::string_view bytes)
{
    if (const WriteOutcome refused = back_up_first(); !refused.ok)
        return report_write_failure(parent_, refused);
    if (const WriteOutcome refused = record(bytes); !refused.ok)
        return report_write_failure(parent_, refused);
    const WriteOutcome outcome = file_.replace(bytes);
    if (!outcome.ok)
        record_failed();
    finished(outcome.ok);
    return report_write_failure(parent_, outcome);
}

bool FileRewrite::finish(const RecordRewrite &rewrite)
{
    // A refused record is told without a write, so without an entry either.
    if (!rewrite.refused_line()) {
        if (const WriteOutcome refused = back_up_first(); !refused.ok)
            return report_write_failure(parent_, refused);
        if (const WriteOutcome refused = record(rewrite.bytes()); !refused.ok)
            return report_write_failure(parent_, refused);
    }
    const WriteOutcome outcome = replace_with(file_, rewrite);
    if (!outcome.ok)
        record_failed();
    if (!rewrite.refused_line())
        finished(outcome.ok);
    return report_write_failure(parent_, outcome);
}

void FileRewrite::refuse(const QString &reason)
{
    report_write_failure(parent_, {false, file_.file_name(), file_.file_name(), reason, {}});
}

PairWriteOutcome FileRewrite::finish_together(FileRewrite &first, std::string_view first_bytes,
                                              FileRewrite &second, std::string_view second_bytes)
{
    if (const WriteOutcome refused = first.back_up_first(); !refused.ok)
        return {refused, {}};
    if (const WriteOutcome refused = first.record(first_bytes); !refused.ok)
        return {refused, {}};
    if (const WriteOutcome refused = second.record(second_bytes); !refused.ok) {
        first.record_failed();
        return {refused, {}};
    }
    const PairWriteOutcome outcome =
        replace_together(first.file_, first_bytes, second.file_, second_bytes);
    if (!outcome.ok) {
        first.record_failed();
        second.record_failed();
    }
    first.finished(outcome.ok);
    second.finished(outcome.ok);
    return outcome;
}

} // namespace durnmoor
