#pragma once

#include "audit/audit_entry.h"
#include "audit/trail_chain.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace durnmoor {

// The audit trail of a data folder, <folder>/audit.log: one entry a line, in UTF-8, only
// ever appended to. Each line carries the SHA-256 of the line before it, so that a line
// changed, removed or put in by hand breaks the chain where it stands.
class AuditTrail {
public:
    explicit AuditTrail(const QString &folder);

    const QString &path() const { return path_; }

    // Reads the trail from its first byte to its end, a piece at a time, and checks that each
    // entry follows the one before. A missing trail is an empty one; a trail that cannot be
    // read (or is not a regular file) is a failure, never an empty trail: false, and
    // problem() says why. Nothing can be appended to it then.
    bool open();
    const QString &problem() const { return problem_; }

    // The first entry that does not follow the one before it, 0 when the chain holds; and
    // what the user is told of it (empty when it holds).
    std::int64_t first_break() const { return chain_.first_break(); }
    QString break_message() const;
    std::int64_t last_seq() const { return chain_.next_seq() - 1; }
    // The after of the last entry that changed this data file ("products.dat") and whose
    // rewrite did not fail; empty when the trail has none.
    std::string last_after(std::string_view file) const { return chain_.last_after(file); }

    // Adds the entry as the trail's last line, flushed to the disk: seq and prev are filled
    // to follow the real last line (after a break too), and time when it is empty. The line
    // and its LF go in one write to the end of the file, and existing bytes are never
    // rewritten; after a torn last line a LF goes first. nullopt when done; otherwise the
    // reason, and the file is as it was (a part written is cut off again). Opens the trail
    // first when that has not been done, and reads it again when it changed since.
    std::optional<QString> append(AuditEntry &entry);
    // The entries as the trail's last lines, in their order, in one write and one flush: a
    // change of many records waits for the disk once. All of them are appended or none.
    std::optional<QString> append(std::span<AuditEntry> entries);

private:
    // What the trail was when last read or written: it is read again before an append when
    // the file is no longer that.
    struct Seen {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        friend bool operator==(const Seen &, const Seen &) = default;
    };

    std::optional<QString> append_once(std::span<AuditEntry> entries, bool &read_again);

    QString folder_;
    QString path_;
    bool opened_ = false;
    QString problem_;
    TrailChain chain_;
    Seen seen_;
};

} // namespace durnmoor
