#pragma once

#include <QString>

namespace durnmoor {

// Flushes a folder's entries to the disk, so that a file made, renamed or removed in it stays
// so after a crash: 0, or the error.
int flush_folder(const QString &folder);

} // namespace durnmoor
