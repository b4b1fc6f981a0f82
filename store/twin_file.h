#pragma once

#include "store/file_faults.h"
#include "store/file_identity.h"

#include <QString>

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

// What became of a change to two files: when ok is false, data_file names the one that
// could not be changed and both are as they were, unless the first had taken its new
// contents and could not be put back; then left_changed names it (else it is empty).
// written is not used: each file's identity comes with it.
struct PairWriteOutcome : WriteOutcome {
    QString left_changed;
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

// One file of a change to two (see replace_both_through_twins).
struct TwinReplace {
    QString data_path;
    QString twin_path;
    std::string_view bytes;
    bool owner_only = false;
    // The data file as it was read, still open: what it held can be put back from it on a
    // file system that cannot swap two names. -1 when there was no file.
    int held_fd = -1;
    // Set when the change succeeded, as WriteOutcome::written is for one file.
    std::optional<FileIdentity> written;
};

// Two data files changed as one: both twins are written and flushed first, then the first
// takes its data file's name by swapping names with it, so that the old file stays whole
// under the twin's name, then the second twin is renamed over its data file. Should that
// last rename fail, the names of the first are swapped back, and both data files are as
// they were. Where the file system cannot swap names, the first is renamed like a single
// rewrite and, if need be, put back by writing through its twin again what held_fd reads.
// The outcome names the data file that could not be changed; the caller holds both files'
// rewrite locks.
PairWriteOutcome replace_both_through_twins(TwinReplace &first, TwinReplace &second);

} // namespace durnmoor
