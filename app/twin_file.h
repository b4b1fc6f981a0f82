#pragma once

#include "app/file_identity.h"

#include <QString>

#include <functional>
#include <optional>
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
    // When ok: the data file's identity right after the rename, if it was still the file
    // written then (another program may have replaced it since).
    std::optional<FileIdentity> written;
};

// Writes every byte to the device; fails on the first short or refused write.
bool write_all(QIODevice &device, std::string_view bytes);

// The one way a data file changes: any old twin (or a link planted in its place) is
// removed, the twin is created anew without following links, takes the data file's mode
// (and owner and group where the system allows) or, for an owner_only file, read and
// write for its owner alone whatever the old file allowed, receives the new contents, is
// flushed to the disk and renamed over the data file in one step. If any step fails the
// data file is left untouched and the twin is removed.
// Callers hold the data file's rewrite lock (see DataFile); this is only the last step.
WriteOutcome replace_through_twin(const QString &data_path, const QString &twin_path,
                                  std::string_view bytes, bool owner_only = false);

// The steps of reading and rewriting a data file, for tests that make one of them fail.
enum class FileStep { open, read, lock, remove_twin, create_twin, write_twin, sync_twin, rename };

// Tests make a step fail as the system would, with an error number; 0 lets it run.
// The hook is told the step and the name of the file it works on ("products2.dat").
using FileFault = std::function<int(FileStep step, const QString &file_name)>;
void set_file_fault(FileFault fault);
// The error a test has planted for this step and file, or 0.
int planted_fault(FileStep step, const QString &path);

} // namespace durnmoor
