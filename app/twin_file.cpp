#include "app/twin_file.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

FileFault file_fault;

QString reason_of(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes the rename itself durable: the directory entry is flushed too.
void sync_directory(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
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

} // namespace

void set_file_fault(FileFault fault)
{
    file_fault = std::move(fault);
}

int planted_fault(FileStep step, const QString &path)
{
    return file_fault ? file_fault(step, QFileInfo(path).fileName()) : 0;
}

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
    const QString twin_name = QFileInfo(twin_path).fileName();
    const QString data_name = QFileInfo(data_path).fileName();
    const QByteArray twin = QFile::encodeName(twin_path);
    const QByteArray data = QFile::encodeName(data_path);
    auto failure = [&](const QString &file, int error) {
        return WriteOutcome{false, data_name, file, reason_of(error), {}};
    };

    // Whatever stands under the twin's name goes first: a stale twin from a crash, or a
    // link that would make the write land in some other file.
    if (const int error = run_step(FileStep::remove_twin, twin_path, [&] {
            return ::unlink(twin.constData()) == 0 || errno == ENOENT;
        }))
        return failure(twin_name, error);

    int fd = -1;
    if (const int error = run_step(FileStep::create_twin, twin_path, [&] {
            fd = ::open(twin.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        S_IRUSR | S_IWUSR);
            return fd >= 0;
        })) {
        if (fd >= 0)
            ::close(fd);
        return failure(twin_name, error);
    }

    auto abandon = [&](int error) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(twin.constData());
        return failure(twin_name, error);
    };
    if (const int error = give_mode(fd, data, owner_only))
        return abandon(error);

    if (const int error =
            run_step(FileStep::write_twin, twin_path, [&] { return write_fd(fd, bytes); }))
        return abandon(error);
    if (const int error =
            run_step(FileStep::sync_twin, twin_path, [&] { return ::fsync(fd) == 0; }))
        return abandon(error);
    struct stat twin_status {};
    const bool twin_known = ::fstat(fd, &twin_status) == 0;
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(errno);

    // rename() replaces the data file atomically: a reader sees the old file or the new one.
    if (const int error = run_step(FileStep::rename, data_path, [&] {
            return std::rename(twin.constData(), data.constData()) == 0;
        })) {
        ::unlink(twin.constData());
        return failure(data_name, error);
    }
    sync_directory(QFileInfo(data_path).absolutePath());
    WriteOutcome done;
    struct stat now {};
    if (twin_known && ::stat(data.constData(), &now) == 0 && now.st_dev == twin_status.st_dev &&
        now.st_ino == twin_status.st_ino)
        done.written = identity_of(now);
    return done;
}

} // namespace durnmoor
