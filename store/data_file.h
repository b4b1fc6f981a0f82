#pragma once

#include "store/file_identity.h"
#include "store/twin_file.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace durnmoor {

// Where one data file and its twin live, and how the file is made when it is missing.
struct DataFilePlace {
    QString path;
    QString twin_path;
    // Readable and writable by its owner alone, when made and after every rewrite whatever
    // mode the old file had (the accounts file, whose passwords are stored as typed).
    bool owner_only = false;
};

// A data file read whole into memory. A file that cannot be read is never taken for an
// empty one: ok() is false and problem() says why, and a file read that way can never be
// rewritten. A missing file is created empty first and reads as no records. Anything but
// a regular file (a FIFO, a device, a directory) is refused rather than opened, since
// opening one may block or read endlessly; so is a file larger than the machine's memory,
// or one that no memory can be found for.
class DataFile {
public:
    // For showing: the file as it stands, no lock kept.
    // With kept, the identity of a parsed copy the caller holds: when the file still has
    // that identity nothing is read and unchanged() says the copy may be used as it is.
    static DataFile read(const DataFilePlace &place, const FileIdentity *kept = nullptr);
    // For changing: the file is locked against every other rewrite of it, in this process
    // or another, from the read until replace() (or until this object goes), so that two
    // writers can never interleave and neither can lose the other's change. kept as above,
    // looked at once the lock is held.
    static DataFile read_for_rewrite(const DataFilePlace &place,
                                     const FileIdentity *kept = nullptr);

    DataFile(DataFile &&other) noexcept;
    DataFile &operator=(DataFile &&other) noexcept;
    DataFile(const DataFile &) = delete;
    DataFile &operator=(const DataFile &) = delete;
    ~DataFile();

    bool ok() const { return problem_.isEmpty(); }
    QString file_name() const; // "products.dat"
    const QString &path() const { return place_.path; }
    const QString &problem() const { return problem_; }
    const std::string &bytes() const { return bytes_; }
    std::string take_bytes() { return std::move(bytes_); }
    // The file still has the identity of the caller's kept copy, and bytes() is empty.
    bool unchanged() const { return unchanged_; }
    // The file's identity when it was read, or after replace() the identity of what was
    // written; nullopt when it is not known or the file changed too recently for its
    // identity to tell a further change (then nothing read from it is kept). What this
    // program wrote is trusted at once only where the file's times hold parts of a second;
    // with whole seconds another program's edit within the same second would leave the
    // identity as it is, so the settling time applies as after a read.
    const std::optional<FileIdentity> &identity() const { return identity_; }

    // Puts new contents in place of the file through its twin, then lets the lock go.
    // Refused, with the file untouched, unless the file was read for rewrite.
    WriteOutcome replace(std::string_view new_bytes);

private:
    friend PairWriteOutcome replace_together(DataFile &, std::string_view, DataFile &,
                                             std::string_view);
    explicit DataFile(DataFilePlace place) : place_(std::move(place)) {}
    static DataFile open(const DataFilePlace &place, bool for_rewrite, const FileIdentity *kept);
    void release();
    // Why this file cannot be replaced, or empty when it can.
    QString refusal() const;
    // After a replace, successful or not: the lock goes and the bytes read are history.
    void replaced(const WriteOutcome &outcome, const std::optional<FileIdentity> &written);

    DataFilePlace place_;
    std::string bytes_;
    QString problem_;
    bool for_rewrite_ = false;
    bool unchanged_ = false;
    std::optional<FileIdentity> identity_;
    int locked_fd_ = -1;
};

// Two different data files changed as one (a calibration goes into the history and the
// register at once): both must have been read for rewrite, and each then holds its
// rewrite lock. Both twins are written and flushed before either data file is touched;
// then first takes its new contents and second after it. If any step fails, both data
// files are left byte for byte as they were and no twin stays behind: a failure of the
// second rename puts the first back, by swapping its old file back into place where the
// file system can swap names, else by writing again what it held, read through the lock's
// descriptor (so it does not matter whether the caller took the bytes read). The outcome
// names the data file that could not be changed, the file that failed and why; should the
// first not go back, left_changed names it. Whatever the outcome, both locks are let go;
// on success each file's identity() is that of what was written, as after replace(), and
// on failure nullopt. A crash between the two renames can still leave the first changed
// alone, as two separate rewrites would.
PairWriteOutcome replace_together(DataFile &first, std::string_view first_bytes, DataFile &second,
                                  std::string_view second_bytes);

// What reading a file a piece at a time found: why it could not be read (empty when it was),
// and the identity of what was read, as DataFile::identity() gives it; nullopt also when the
// file changed while it was read.
struct PiecesRead {
    QString problem;
    std::optional<FileIdentity> identity;
};

// The file as it stands, read a piece at a time, each piece handed to take and then dropped:
// for a caller that needs every byte once (a hash) but not the file in memory. It is refused
// as DataFile::read() refuses it; a missing file reads as empty and is not made. No lock is
// taken, and nothing but the file and take is touched, so it may run on a thread of its own.
PiecesRead read_in_pieces(const DataFilePlace &place,
                          const std::function<void(std::string_view)> &take);

// Backs the reserved capacity of a large buffer with large pages where the system offers
// them: fresh memory costs a page fault per page, and at 4 kB a page a 100 MB file takes
// tens of thousands.
void ask_for_large_pages(std::string &buffer);
void ask_for_large_pages(void *data, std::size_t bytes);

// How long after its last change a file's identity is not trusted to show the next one (two
// seconds); tests that change files by the millisecond shorten it, nullopt restores it.
void set_settling_time(std::optional<std::int64_t> nanoseconds);

// How long a rewrite waits for another process's rewrite of the same file to end.
inline constexpr int rewrite_lock_wait_ms = 10000;

} // namespace durnmoor
