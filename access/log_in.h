#pragma once

#include <QString>

namespace durnmoor {

struct Workspace;

// Whether anyone can log in: the accounts file holds something (or cannot be read, in
// which case the window stays locked rather than open to all).
bool accounts_to_log_in(const Workspace &w);

// "Attempt Access": the name and password exactly as typed against the accounts. A match
// puts the account's rights in force; true then. No match says so.
bool attempt_access(Workspace &w, const QString &name, const QString &password);

} // namespace durnmoor
