#include "common/file_rewrite.h"

#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "backup/session_backup.h"
#include "common/file_failure.h"

namespace durnmoor {

namespace {
RewriteRecorder recorder;
SessionBackup *session_backup = nullptr;
} // namespace

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
}

WriteOutcome FileRewrite::record(std::string_view bytes)
{
    if (!recorder.trail || notes_.empty())
        return {};
    const std::string after = sha256_hex(bytes);
    const std::string user = recorder.user ? recorder.user() : std::string();
    const std::string file = file_.file_name().toStdString();
    for (AuditNote &note : notes_) {
        AuditEntry entry{.user = user,
                         .action = std::move(note.action),
                         .file = file,
                         .key = std::move(note.key),
                         .changes = std::move(note.changes),
                         .after = after};
        if (const std::optional<QString> problem = recorder.trail->append(entry)) {
            record_failed(); // the entries already written name a change that is not made
            return {false, file_.file_name(), QString::fromLatin1(audit_log_name), *problem, {}};
        }
        recorded_.push_back(entry.seq);
    }
    notes_.clear();
    return {};
}

std::optional<QString> FileRewrite::record_event(const std::string &user, AuditNote note)
{
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
    : parent_(parent), file_(DataFile::read_for_rewrite(place, kept))
{
    report_read_failure(parent_, file_, ReadPurpose::change);
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
    return outcome;
}

} // namespace durnmoor
