#pragma once

#include "access/login_throttle.h"

#include <QString>

#include <chrono>
#include <optional>

class QWidget;

namespace durnmoor {

struct Workspace;

// Whether anyone can log in: the accounts file holds something (or cannot be read, in
// which case the window stays locked rather than open to all).
bool accounts_to_log_in(const Workspace &w);

// "Attempt Access": the name and password exactly as typed against the accounts. A match
// puts the account's rights in force; true then. No match says so, over the log-in dialog.
bool attempt_access(Workspace &w, QWidget *dialog, const QString &name, const QString &password);

// The waits between failed log-ins of a new session (1 s doubling up to 30 s); tests shorten
// them, nullopt restores them.
LoginThrottle new_login_throttle();
void set_login_waits(std::optional<std::chrono::milliseconds> first);

} // namespace durnmoor
