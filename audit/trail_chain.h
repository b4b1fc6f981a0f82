#pragma once

#include "audit/audit_entry.h"
#include "audit/sha256.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

// Told when a trail's lines do not chain; N is the entry (the line, counted from 1) that
// does not follow the one before it.
QString trail_changed_outside(std::int64_t entry);

// What the lines of an audit trail tell, read in file order from its first byte: whether
// each entry follows the one before it (it parses, its seq is the seq before plus one, the
// first is 1, and its prev is the SHA-256 of the line before without its LF, or
// no_prev_line for the first), and what the next entry must carry to follow the last line.
// The file may be handed over in pieces of any size; nothing but the line being read is held.
class TrailChain {
public:
    // The next bytes of the file.
    void feed(std::string_view piece);
    // The end of the file: a last line without its LF is torn, and does not follow whatever
    // it holds.
    void end();
    // A whole line this program appended after the end (the file now ends with its LF).
    void appended(std::string_view line);

    // The first entry that does not follow the one before it, or 0 when every line follows.
    std::int64_t first_break() const { return first_break_; }
    std::int64_t lines() const { return lines_; }
    // The seq and prev of the next entry: it follows the real last line even after a break,
    // so that a break is told once and what comes after it chains again. The seq is the last
    // line's seq plus one, or the number of lines plus one when the last line is not an entry.
    std::int64_t next_seq() const { return next_seq_; }
    const std::string &next_prev() const { return next_prev_; }
    // The last line has no LF: an append must start with one, so that lines stay whole.
    bool torn() const { return torn_; }
    // The after of the last entry that changed this data file and whose rewrite did not
    // fail, or empty when there is none.
    std::string last_after(std::string_view file) const;

private:
    void line(std::string_view bytes, bool whole);
    void learn(const AuditEntry &entry);

    // What the trail says a data file holds: the after of the entry that last changed it,
    // and the one before, which is back in force should that entry's rewrite have failed.
    struct FileState {
        std::string file;
        std::string after;
        std::string before;
        std::int64_t by_seq = 0;
    };

    std::string carry_; // the start of a line that the last piece ended in
    std::int64_t lines_ = 0;
    std::int64_t first_break_ = 0;
    std::int64_t next_seq_ = 1;
    std::string next_prev_{no_prev_line};
    bool torn_ = false;
    std::vector<FileState> files_;
    AuditEntry entry_; // reused line after line
    Sha256 hash_;
};

} // namespace durnmoor
