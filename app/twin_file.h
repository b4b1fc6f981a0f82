#pragma once

#include <QString>

#include <string_view>

class QIODevice;

namespace durnmoor {

// What became of a rewrite. When ok is false the data file is exactly as it was
// before; file and reason say which step failed and why, for the user.
struct WriteOutcome {
    bool ok = true;
    QString data_file; // the file that was to change
    QString file;      // the file that could not be written or renamed
    QString reason;
};

// Opens the file for appending and closes it again, so that a missing data file
// exists (empty) before anything reads it. Failure is silent: readers then see no records.
void ensure_exists(const QString &path);

// Reads the whole file; an unreadable or missing file reads as empty.
std::string read_all_bytes(const QString &path);

// Writes every byte to the device; fails on the first short or refused write.
bool write_all(QIODevice &device, std::string_view bytes);

// The one way a data file changes: the new contents go into the twin, the twin
// is flushed to the disk, then renamed over the data file in one step. If any
// step fails the data file is left untouched and the twin is removed.
WriteOutcome replace_through_twin(const QString &data_path, const QString &twin_path,
                                  std::string_view bytes);

} // namespace durnmoor
