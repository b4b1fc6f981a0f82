#include "store/twin_file.h"

#include "store/folder_sync.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

QString reason_of(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString name_of(const QString &path)
{
    return QFileInfo(path).fileName();
}

WriteOutcome failure(const QString &data_path, const QString &file, int error)
{
    WriteOutcome failed;
    failed.ok = false;
    failed.data_file = name_of(data_path);
    failed.file = file;
    failed.reason = reason_of(error);
    return failed;
}

// One step on a descriptor: the planted fault first, then the system's own answer.
template <typename Step> int run_step(FileStep step, const QString &path, Step &&call)
{
    if (const int planted = planted_fault(step, path))
        return planted;
    return call() ? 0 : errno;
}

bool write_fd(int fd, std::string_view bytes)
{
    const char *data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// The mode the twin takes before anything is written to it. The register keeps the access
// it was given, a private file stays private, and a new file has the user's default. The
// accounts file, whose passwords are stored as typed, is its owner's alone after every
// rewrite, even when the old file had been left open to others.
int give_mode(int fd, const QByteArray &data, bool owner_only)
{
    struct stat old {};
    const bool had_file = ::stat(data.constData(), &old) == 0;
    if (had_file && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only the owner's own group may fail to pass on; the mode still does.
    }
    mode_t mode = S_IRUSR | S_IWUSR;
    if (owner_only) {
        // as it is
    } else if (had_file) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// Everything up to the rename: whatever stands under the twin's name goes (a stale twin
// from a crash, or a link that would make the write land in some other file), the twin is
// created anew, given its mode, filled and flushed. 0 when it is ready to take the data
// file's name, with its status in written when known; otherwise the error, and the twin
// is gone.
int write_twin(const QString &data_path, const QString &twin_path, std::string_view bytes,
               bool owner_only, std::optional<struct stat> &written)
{
    written.reset();
    const QByteArray twin = QFile::encodeName(twin_path);
    if (const int error = run_step(FileStep::remove_twin, twin_path, [&] {
            return ::unlink(twin.constData()) == 0 || errno == ENOENT;
        }))
        return error;

    int fd = -1;
    if (const int error = run_step(FileStep::create_twin, twin_path, [&] {
            fd = ::open(twin.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        S_IRUSR | S_IWUSR);
            return fd >= 0;
        }))
        return error;

    auto abandon = [&](int error) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(twin.constData());
        return error;
    };
    if (const int error = give_mode(fd, QFile::encodeName(data_path), owner_only))
        return abandon(error);
    if (const int error =
            run_step(FileStep::write_twin, twin_path, [&] { return write_fd(fd, bytes); }))
        return abandon(error);
    if (const int error =
            run_step(FileStep::sync_twin, twin_path, [&] { return ::fsync(fd) == 0; }))
        return abandon(error);
    struct stat status {};
    if (::fstat(fd, &status) == 0)
        written = status;
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(errno);
    return 0;
}

// The identity of the data file now, if it still is the twin that was renamed to it.
std::optional<FileIdentity> identity_if_still(const QString &data_path,
                                              const std::optional<struct stat> &twin)
{
    struct stat now {};
    if (twin && ::stat(QFile::encodeName(data_path).constData(), &now) == 0 &&
        now.st_dev == twin->st_dev && now.st_ino == twin->st_ino)
        return identity_of(now);
    return std::nullopt;
}

bool refused_by_file_system(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// The first file of a change to two takes its new contents: by swapping names with its
// twin where the file system can (swapped is then true, and the old file is whole under
// the twin's name), else by a plain rename. 0 when done, else the error and nothing moved.
int put_first_in_place(const TwinReplace &first, bool &swapped)
{
    swapped = false;
    if (const int planted = planted_fault(FileStep::rename, first.data_path))
        return planted;
    const QByteArray twin = QFile::encodeName(first.twin_path);
    const QByteArray data = QFile::encodeName(first.data_path);
    int error = planted_fault(FileStep::exchange, first.data_path);
    if (error == 0)
        error = ::renameat2(AT_FDCWD, twin.constData(), AT_FDCWD, data.constData(),
                            RENAME_EXCHANGE) == 0
                    ? 0
                    : errno;
    if (error == 0) {
        swapped = true;
        return 0;
    }
    // ENOENT: no old file to swap with; the rename makes one, and a put-back removes it.
    if (!refused_by_file_system(error) && error != ENOENT)
        return error;
    return std::rename(twin.constData(), data.constData()) == 0 ? 0 : errno;
}

// What the descriptor's file holds, from its start; false when it cannot be read whole.
bool read_whole(int fd, std::string &out)
{
    constexpr std::size_t block_size = 256 * 1024;
    try {
        std::string block(block_size, '\0');
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(fd, block.data(), block_size, at);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            out.append(block.data(), static_cast<std::size_t>(got));
            at += got;
        }
    } catch (const std::bad_alloc &) {
        return false;
    } catch (const std::length_error &) {
        return false;
    }
}

// Undoes put_first_in_place once the second file could not be renamed; true when the first
// data file is back as it was. Either way no twin of it is left.
bool put_back(const TwinReplace &first, bool swapped)
{
    const QByteArray twin = QFile::encodeName(first.twin_path);
    const QByteArray data = QFile::encodeName(first.data_path);
    if (planted_fault(FileStep::put_back, first.data_path) != 0) {
        if (swapped)
            ::unlink(twin.constData());
        return false;
    }
    if (swapped) {
        const bool back = ::renameat2(AT_FDCWD, twin.constData(), AT_FDCWD, data.constData(),
                                      RENAME_EXCHANGE) == 0;
        ::unlink(twin.constData());
        return back;
    }
    // Renamed over: the old file is gone from the folder but still open from its read.
    if (first.held_fd < 0)
        return ::unlink(data.constData()) == 0 || errno == ENOENT;
    std::string old;
    std::optional<struct stat> written;
    if (!read_whole(first.held_fd, old) ||
        write_twin(first.data_path, first.twin_path, old, first.owner_only, written) != 0)
        return false;
    if (std::rename(twin.constData(), data.constData()) != 0) {
        ::unlink(twin.constData());
        return false;
    }
    flush_folder(QFileInfo(first.data_path).absolutePath());
    return true;
}

} // namespace

bool write_all(QIODevice &device, std::string_view bytes)
{
    const char *data = bytes.data();
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 written = device.write(data, left);
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

WriteOutcome replace_through_twin(const QString &data_path, const QString &twin_path,
                                  std::string_view bytes, bool owner_only)
{
    std::optional<struct stat> twin_status;
    if (const int error = write_twin(data_path, twin_path, bytes, owner_only, twin_status))
        return failure(data_path, name_of(twin_path), error);

    // rename() replaces the data file atomically: a reader sees the old file or the new one.
    const QByteArray twin = QFile::encodeName(twin_path);
    if (const int error = run_step(FileStep::rename, data_path, [&] {
            return std::rename(twin.constData(), QFile::encodeName(data_path).constData()) == 0;
        })) {
        ::unlink(twin.constData());
        return failure(data_path, name_of(data_path), error);
    }
    flush_folder(QFileInfo(data_path).absolutePath());
    WriteOutcome done;
    done.written = identity_if_still(data_path, twin_status);
    return done;
}

PairWriteOutcome replace_both_through_twins(TwinReplace &first, TwinReplace &second)
{
    first.written.reset();
    second.written.reset();
    const QByteArray first_twin = QFile::encodeName(first.twin_path);
    const QByteArray second_twin = QFile::encodeName(second.twin_path);

    std::optional<struct stat> first_status, second_status;
    if (const int error = write_twin(first.data_path, first.twin_path, first.bytes,
                                     first.owner_only, first_status))
        return {failure(first.data_path, name_of(first.twin_path), error), {}};
    if (const int error = write_twin(second.data_path, second.twin_path, second.bytes,
                                     second.owner_only, second_status)) {
        ::unlink(first_twin.constData());
        return {failure(second.data_path, name_of(second.twin_path), error), {}};
    }

    bool swapped = false;
    if (const int error = put_first_in_place(first, swapped)) {
        ::unlink(first_twin.constData());
        ::unlink(second_twin.constData());
        return {failure(first.data_path, name_of(first.data_path), error), {}};
    }
    if (const int error = run_step(FileStep::rename, second.data_path, [&] {
            return std::rename(second_twin.constData(),
                               QFile::encodeName(second.data_path).constData()) == 0;
        })) {
        ::unlink(second_twin.constData());
        PairWriteOutcome failed{failure(second.data_path, name_of(second.data_path), error), {}};
        if (!put_back(first, swapped))
            failed.left_changed = name_of(first.data_path);
        return failed;
    }
    if (swapped)
        ::unlink(first_twin.constData()); // the first file's old contents, no longer wanted

    const QString first_dir = QFileInfo(first.data_path).absolutePath();
    const QString second_dir = QFileInfo(second.data_path).absolutePath();
    flush_folder(first_dir);
    if (second_dir != first_dir)
        flush_folder(second_dir);
    first.written = identity_if_still(first.data_path, first_status);
    second.written = identity_if_still(second.data_path, second_status);
    return {};
}

} // namespace durnmoor
