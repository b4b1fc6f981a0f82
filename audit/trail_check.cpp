#include "audit/trail_check.h"

#include "audit/audit_trail.h"
#include "audit/sha256.h"

#include <QFileInfo>

namespace durnmoor {

AuditEntry outside_change_entry(std::string user, std::string file, std::string old_sha256,
                                std::string new_sha256)
{
    std::string after = new_sha256;
    return {.user = std::move(user),
            .action = audit_action::file_outside_change,
            .file = std::move(file),
            .changes = {{"sha256", std::move(old_sha256), std::move(new_sha256)}},
            .after = std::move(after)};
}

TrailCheck check_trail_at_start(AuditTrail &trail, const std::string &user,
                                const std::vector<DataFilePlace> &files)
{
    TrailCheck check;
    if (!trail.open()) {
        check.problem = trail.problem();
        return check;
    }
    check.break_message = trail.break_message();
    for (const DataFilePlace &place : files) {
        const std::string name = QFileInfo(place.path).fileName().toStdString();
        const std::string last = trail.last_after(name);
        if (last.empty())
            continue; // nothing recorded to compare with
        Sha256Pieces hash;
        const PiecesRead read =
            read_in_pieces(place, [&hash](std::string_view piece) { hash.add(piece); });
        const std::optional<std::string> now = hash.hex();
        if (!read.problem.isEmpty() || !now)
            continue; // told when the file is shown
        if (*now != last) {
            AuditEntry outside = outside_change_entry(user, name, last, *now);
            if (trail.append(outside))
                continue; // the next rewrite of the file looks again
        }
        if (read.identity)
            check.settled.emplace_back(place.path, *read.identity);
    }
    return check;
}

} // namespace durnmoor
