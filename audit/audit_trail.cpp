#include "audit/audit_trail.h"

#include "store/clock.h"
#include "store/file_faults.h"
#include "store/folder_sync.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

constexpr char not_regular[] = "It is not a regular file.";
// Large pieces: a trail of a million entries is read at the speed of the disk, not of calls.
constexpr std::size_t read_piece = 4 << 20;

QString reason_of(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Every byte to the end of the file; the error when a write is refused.
int write_to_end(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written == 0 ? EIO : errno;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

} // namespace

AuditTrail::AuditTrail(const QString &folder)
    : folder_(folder), path_(QDir(folder).filePath(QString::fromLatin1(audit_log_name)))
{
}

QString AuditTrail::break_message() const
{
    return first_break() ? trail_changed_outside(first_break()) : QString();
}

bool AuditTrail::open()
{
    chain_ = TrailChain();
    opened_ = false;
    problem_.clear();
    seen_ = Seen();
    auto refuse = [this](const QString &problem) {
        problem_ = problem;
        return false;
    };
    if (const int planted = planted_fault(FileStep::open, path_))
        return refuse(reason_of(planted));
    // Not following a link: the trail is this folder's own file, never one planted elsewhere.
    const int fd = ::open(QFile::encodeName(path_).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            return refuse(reason_of(errno));
        opened_ = true;
        return true;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return refuse(QString::fromLatin1(not_regular));
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    const auto buffer = std::make_unique_for_overwrite<char[]>(read_piece);
    std::int64_t size = 0;
    for (;;) {
        ssize_t got = 0;
        if (const int planted = planted_fault(FileStep::read, path_)) {
            errno = planted;
            got = -1;
        } else {
            got = ::read(fd, buffer.get(), read_piece);
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            chain_ = TrailChain();
            return refuse(reason_of(error));
        }
        if (got == 0)
            break;
        chain_.feed(std::string_view(buffer.get(), static_cast<std::size_t>(got)));
        size += got;
    }
    ::close(fd);
    chain_.end();
    seen_ = {true, static_cast<std::uint64_t>(status.st_dev),
             static_cast<std::uint64_t>(status.st_ino), size};
    opened_ = true;
    return true;
}

std::optional<QString> AuditTrail::append(AuditEntry &entry)
{
    return append(std::span(&entry, 1));
}

std::optional<QString> AuditTrail::append(std::span<AuditEntry> entries)
{
    if (entries.empty())
        return std::nullopt;
    // The trail is read again at most once: a file that keeps changing under the program is
    // not chased.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!opened_ && !open())
            return problem_;
        bool read_again = false;
        auto outcome = append_once(entries, read_again);
        if (!read_again)
            return outcome;
        opened_ = false;
    }
    return reason_of(EAGAIN);
}

std::optional<QString> AuditTrail::append_once(std::span<AuditEntry> entries, bool &read_again)
{
    const QByteArray path = QFile::encodeName(path_);
    bool created = false;
    int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.constData(),
                    O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        created = fd >= 0;
    }
    if (fd < 0) {
        // Made by someone else between the two calls: read what it holds first.
        read_again = errno == EEXIST;
        return read_again ? std::nullopt : std::optional(reason_of(errno));
    }
    // Gives up the append: what was written is cut off again and a file made for it goes.
    auto abandon = [&](off_t keep) {
        if (keep >= 0 && ::ftruncate(fd, keep) == 0)
            ::fsync(fd);
        ::close(fd);
        if (created)
            ::unlink(path.constData());
    };
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        abandon(-1);
        return QString::fromLatin1(not_regular);
    }
    const Seen now{true, static_cast<std::uint64_t>(status.st_dev),
                   static_cast<std::uint64_t>(status.st_ino), std::int64_t(status.st_size)};
    if (!(now == seen_) && !(created && !seen_.exists)) {
        // Changed since it was read: the new entry must follow the line now last.
        abandon(-1);
        read_again = true;
        return std::nullopt;
    }

    // Each line follows the one before it, the first the real last line.
    std::string bytes;
    if (chain_.torn())
        bytes += '\n';
    std::vector<std::pair<std::size_t, std::size_t>> lines; // where each line stands in bytes
    std::string prev = chain_.next_prev();
    const std::string time = rfc3339_utc(now_utc());
    Sha256 hash;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        AuditEntry &entry = entries[i];
        entry.seq = chain_.next_seq() + static_cast<std::int64_t>(i);
        entry.prev = prev;
        if (entry.time.empty())
            entry.time = time;
        const std::size_t start = bytes.size();
        append_audit_line(bytes, entry);
        lines.emplace_back(start, bytes.size() - start);
        hex_into(hash.of(std::string_view(bytes).substr(start)), prev);
        bytes += '\n';
    }

    const off_t old_size = status.st_size;
    int error = planted_fault(FileStep::append, path_);
    if (error == 0)
        error = write_to_end(fd, bytes);
    if (error == 0)
        error = planted_fault(FileStep::sync_append, path_);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error != 0) {
        abandon(old_size);
        return reason_of(error);
    }
    ::close(fd);
    if (created)
        flush_folder(folder_);

    for (const auto &[start, length] : lines)
        chain_.appended(std::string_view(bytes).substr(start, length));
    seen_ = {true, now.device, now.inode, now.size + static_cast<std::int64_t>(bytes.size())};
    return std::nullopt;
}

} // namespace durnmoor
