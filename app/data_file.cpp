#include "app/data_file.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

constexpr char not_regular[] = "It is not a regular file.";
constexpr char busy[] = "Another program is writing it.";
constexpr int lock_retry_ms = 10;

QString reason_of(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Reads everything left in the file; 0 when it all came in, else the error.
int read_to_end(int fd, const QString &path, std::string &out, off_t expected)
{
    if (const int planted = planted_fault(FileStep::read, path))
        return planted;
    // One byte beyond the size the file had, so that its end is seen without growing.
    out.resize(expected > 0 ? static_cast<std::size_t>(expected) + 1 : 4096);
    std::size_t filled = 0;
    while (true) {
        if (filled == out.size())
            out.resize(out.size() * 2);
        const ssize_t got = ::read(fd, out.data() + filled, out.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    out.resize(filled);
    // Less than the file's size means it was cut while we read: not the file as it is.
    return static_cast<off_t>(filled) < expected ? EIO : 0;
}

// Waits for the exclusive rewrite lock; 0 when held (or when the file system has no
// locks to give, where the atomic rename is all the protection there is).
int lock_for_rewrite(int fd, const QString &path)
{
    if (const int planted = planted_fault(FileStep::lock, path))
        return planted;
    QElapsedTimer waited;
    waited.start();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP ? 0 : errno;
        if (waited.elapsed() >= rewrite_lock_wait_ms)
            return EWOULDBLOCK;
        QThread::msleep(lock_retry_ms);
    }
    return 0;
}

} // namespace

DataFile DataFile::read(const DataFilePlace &place)
{
    return open(place, false);
}

DataFile DataFile::read_for_rewrite(const DataFilePlace &place)
{
    return open(place, true);
}

DataFile DataFile::open(const DataFilePlace &place, bool for_rewrite)
{
    DataFile file(place);
    file.for_rewrite_ = for_rewrite;
    auto refuse = [&file](const QString &problem) {
        file.problem_ = problem;
        file.bytes_.clear();
        return std::move(file);
    };
    const QByteArray path = QFile::encodeName(place.path);
    // A rewrite that finds the file replaced while it waited for the lock tries again on
    // the file now in place; a bounded number of times, so that it cannot spin forever.
    for (int attempt = 0;; ++attempt) {
        struct stat named {};
        if (::stat(path.constData(), &named) != 0) {
            if (errno != ENOENT)
                return refuse(reason_of(errno));
            // Missing: made empty, as every reader expects. If even that fails there are
            // still no records to show, and the rewrite's twin will report the folder.
            const int made =
                ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC,
                       place.owner_only ? 0600 : 0666);
            if (made < 0)
                return file;
            ::close(made);
            if (::stat(path.constData(), &named) != 0)
                return refuse(reason_of(errno));
        }
        if (!S_ISREG(named.st_mode))
            return refuse(QString::fromLatin1(not_regular));

        int fd = -1;
        if (const int planted = planted_fault(FileStep::open, place.path))
            return refuse(reason_of(planted));
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return refuse(reason_of(errno));
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            return refuse(QString::fromLatin1(not_regular));
        }
        if (for_rewrite) {
            if (const int error = lock_for_rewrite(fd, place.path)) {
                ::close(fd);
                return refuse(error == EWOULDBLOCK ? QString::fromLatin1(busy) : reason_of(error));
            }
            struct stat now {};
            if (::stat(path.constData(), &now) != 0 || !same_file(now, opened)) {
                ::close(fd);
                if (attempt < 100)
                    continue;
                return refuse(QString::fromLatin1(busy));
            }
            if (::fstat(fd, &opened) != 0) {
                const int error = errno;
                ::close(fd);
                return refuse(reason_of(error));
            }
        }
        if (const int error = read_to_end(fd, place.path, file.bytes_, opened.st_size)) {
            ::close(fd);
            return refuse(reason_of(error));
        }
        if (for_rewrite)
            file.locked_fd_ = fd;
        else
            ::close(fd);
        return file;
    }
}

DataFile::DataFile(DataFile &&other) noexcept
    : place_(std::move(other.place_)), bytes_(std::move(other.bytes_)),
      problem_(std::move(other.problem_)), for_rewrite_(other.for_rewrite_),
      locked_fd_(other.locked_fd_)
{
    other.locked_fd_ = -1;
}

DataFile &DataFile::operator=(DataFile &&other) noexcept
{
    if (this != &other) {
        release();
        place_ = std::move(other.place_);
        bytes_ = std::move(other.bytes_);
        problem_ = std::move(other.problem_);
        for_rewrite_ = other.for_rewrite_;
        locked_fd_ = other.locked_fd_;
        other.locked_fd_ = -1;
    }
    return *this;
}

DataFile::~DataFile()
{
    release();
}

QString DataFile::file_name() const
{
    return QFileInfo(place_.path).fileName();
}

void DataFile::release()
{
    if (locked_fd_ >= 0) {
        ::close(locked_fd_); // ends the lock
        locked_fd_ = -1;
    }
}

WriteOutcome DataFile::replace(std::string_view new_bytes)
{
    if (!ok() || !for_rewrite_)
        return WriteOutcome{false, file_name(), file_name(),
                            ok() ? QStringLiteral("It was not read for a change.") : problem_};
    WriteOutcome outcome = replace_through_twin(place_.path, place_.twin_path, new_bytes);
    release();
    for_rewrite_ = false; // the bytes read are no longer what the file holds
    return outcome;
}

} // namespace durnmoor
