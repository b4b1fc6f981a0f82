#pragma once

#include "audit/audit_entry.h"
#include "audit/trail_check.h"
#include "store/data_file.h"
#include "store/kept_file.h"
#include "store/record_file.h"

#include <QFuture>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QWidget;

namespace durnmoor {

class AuditTrail;
class SessionBackup;

// Where every rewrite is recorded, and who is making it; set by the main window.
struct RewriteRecorder {
    AuditTrail *trail = nullptr;
    std::function<std::string()> user;
};

// One change to a data file, from its read to what the user is told. The file is read and
// locked against every other rewrite, the caller builds the new contents from what it held,
// and finish() puts them in place through the twin. A file that cannot be read and contents
// that cannot be written are told to the user here: every change the windows make to a data
// file passes through this class, so whatever must happen at each write happens once.
class FileRewrite {
public:
    FileRewrite(QWidget *parent, const DataFilePlace &place, const FileIdentity *kept = nullptr);

    // False when the file could not be read (the user has been told): nothing may be written.
    bool read() const { return file_.ok(); }
    DataFile &file() { return file_; }

    // The new contents in place of the file; a failure is told. True when written.
    bool finish(std::string_view bytes);
    // A rewrite that refused a record for a line break is not written but told.
    bool finish(const RecordRewrite &rewrite);
    // Told as a write that failed, with the file left alone: why the change cannot be made.
    void refuse(const QString &reason);

    // The change's entries in the audit trail, one per note. They are written and flushed
    // before the file is replaced: a change that cannot be recorded is not made (and told),
    // and a replace that then fails is recorded as failed. A file that no longer holds what
    // the trail's last entry for it named, changed by another program since this one last
    // wrote or hashed it, first gets a file.outside_change entry.
    void note(AuditNote note) { notes_.push_back(std::move(note)); }
    // A new recorder starts knowing no file: each one the trail names is hashed at its first
    // rewrite, unless the check at start vouched for it.
    static void set_recorder(RewriteRecorder recorder);
    // The trail's check at start, running on a thread of its own: nothing is recorded until
    // it has ended, so that the entries it adds come before any change's, and the files it
    // hashed are not hashed again while they keep the identity it saw.
    static void set_start_check(QFuture<TrailCheck> check);
    // The session's backup set, made before the first change is recorded or written; a
    // change whose set cannot be made is refused. Set by the main window; null for none.
    static void set_session_backup(SessionBackup *backup);
    static SessionBackup *session_backup_in_use();
    // An entry that goes with no rewrite (a log-in), made by user; the reason when it could
    // not be written.
    static std::optional<QString> record_event(const std::string &user, AuditNote note);

    // Two files changed as one: both take their new contents or neither does. The outcome
    // is not told: only the caller knows what became of the change as a whole.
    static PairWriteOutcome finish_together(FileRewrite &first, std::string_view first_bytes,
                                            FileRewrite &second, std::string_view second_bytes);

private:
    // The session's set made if it is not yet: ok, or why the change may not be made.
    WriteOutcome back_up_first() const;
    // Writes the notes' entries for the contents about to replace the file: ok, or why they
    // could not be written, and then nothing may be replaced.
    WriteOutcome record(std::string_view bytes);
    // The entries written for a replace that did not take place are followed by failed ones.
    void record_failed();
    // Hashes what was read when the file is no longer as this program last left it (written
    // or hashed), and keeps the hash when it is not what the trail says the file holds.
    void look_for_outside_change();
    // After finish: what the file now holds is vouched for, or forgotten when unsure.
    void finished(bool replaced);

    QWidget *parent_;
    DataFile file_;
    std::vector<AuditNote> notes_;
    std::vector<std::int64_t> recorded_; // the seq of each entry written for this change
    std::optional<std::string> outside_; // the hash read, when another program changed the file
};

// The rewrite of a file kept parsed between operations: what the file held is the kept copy
// while the file has not changed, and what was written is kept afterwards.
template <typename Parsed> class KeptRewrite : public FileRewrite {
public:
    KeptRewrite(QWidget *parent, const DataFilePlace &place, KeptFile<Parsed> &kept)
        : FileRewrite(parent, place, kept.identity()), kept_(kept)
    {
        if (read())
            before_ = kept.take(file());
    }

    // What the file held; nullptr when it could not be read.
    const std::shared_ptr<const Parsed> &before() const { return before_; }

    // Once finished: the contents written (a rewrite or bytes) become the kept copy.
    template <typename Written> std::shared_ptr<const Parsed> keep(Written &&written)
    {
        auto parsed = std::make_shared<const Parsed>(std::forward<Written>(written));
        kept_.keep(file().identity(), parsed);
        return parsed;
    }

private:
    KeptFile<Parsed> &kept_;
    std::shared_ptr<const Parsed> before_;
};

} // namespace durnmoor
