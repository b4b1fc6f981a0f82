#pragma once

#include "audit/audit_entry.h"
#include "store/data_file.h"
#include "store/file_identity.h"

#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace durnmoor {

class AuditTrail;

// The entry that says a data file no longer holds what the trail's last entry for it named,
// with both hashes; its after is the new one, so that what the trail says a file holds still
// follows from its entries.
AuditEntry outside_change_entry(std::string user, std::string file, std::string old_sha256,
                                std::string new_sha256);

// What the check of the trail at start found.
struct TrailCheck {
    QString problem;       // why the trail could not be read; nothing else was looked at then
    QString break_message; // a chain broken by hand, as the user is told it; empty when it holds
    // The data files (by path) whose contents are now those the trail names, each with the
    // identity it had when hashed: while a file keeps it, it need not be hashed again.
    std::vector<std::pair<QString, FileIdentity>> settled;
};

// Reads the trail and checks its chain; then hashes each of the data files that the trail has
// an entry for, a piece at a time, and appends a file.outside_change entry by user for each
// that no longer holds what that entry named. It touches the trail and the files alone, so it
// may run on a thread of its own while nothing else uses the trail.
TrailCheck check_trail_at_start(AuditTrail &trail, const std::string &user,
                                const std::vector<DataFilePlace> &files);

} // namespace durnmoor
