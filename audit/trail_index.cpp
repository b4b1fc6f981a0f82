#include "audit/trail_index.h"

#include "audit/audit_entry.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

constexpr char not_regular[] = "It is not a regular file.";
constexpr std::size_t read_piece = 4 << 20;

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

TrailIndex::TrailIndex(const QString &folder)
    : path_(QDir(folder).filePath(QString::fromLatin1(audit_log_name)))
{
}

TrailIndex::~TrailIndex()
{
    forget();
}

void TrailIndex::forget()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    ends_.clear();
    indexed_ = 0;
    kept_ = 0;
}

bool TrailIndex::fail(int error)
{
    forget();
    problem_ =
        error ? QString::fromLocal8Bit(std::strerror(error)) : QString::fromLatin1(not_regular);
    return false;
}

bool TrailIndex::refresh()
{
    problem_.clear();
    const QByteArray path = QFile::encodeName(path_);
    struct stat named {};
    struct stat held {};
    // The file under the name may no longer be the one held open: then it is indexed anew.
    if (fd_ >= 0 && (::stat(path.constData(), &named) != 0 || ::fstat(fd_, &held) != 0 ||
                     !same_file(named, held)))
        forget();
    if (fd_ < 0) {
        fd_ = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd_ < 0)
            return errno == ENOENT ? true : fail(errno);
    }
    if (::fstat(fd_, &held) != 0)
        return fail(errno);
    if (!S_ISREG(held.st_mode))
        return fail(0);
    const auto size = static_cast<std::uint64_t>(held.st_size);
    if (size < indexed_) {
        ends_.clear();
        indexed_ = 0;
    }
    kept_ = ends_.size();
    // From the start of a torn last line: its LF may have come since.
    std::uint64_t at = whole_end();
    // A refresh mostly finds a few lines more: the buffer is no larger than what is new.
    const std::size_t piece = std::min<std::uint64_t>(read_piece, size - std::min(at, size));
    const auto buffer = std::make_unique_for_overwrite<char[]>(piece);
    while (at < size) {
        const ssize_t got = ::pread(fd_, buffer.get(), piece, off_t(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(errno);
        if (got == 0)
            break;
        const char *data = buffer.get();
        const char *end = data + got;
        for (const char *p = data; p < end;) {
            const void *lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
            if (!lf)
                break;
            p = static_cast<const char *>(lf);
            ends_.push_back(at + static_cast<std::uint64_t>(p - data));
            ++p;
        }
        at += static_cast<std::uint64_t>(got);
    }
    indexed_ = at;
    return true;
}

bool TrailIndex::read_at(std::uint64_t start, char *into, std::size_t length) const
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd_, into + done, length - done, off_t(start + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::optional<std::string> TrailIndex::line(std::size_t i) const
{
    if (i >= size() || fd_ < 0)
        return std::nullopt;
    const std::uint64_t start = line_start(i);
    std::string out(line_end(i) - start, '\0');
    if (!read_at(start, out.data(), out.size()))
        return std::nullopt;
    return out;
}

bool TrailIndex::visit_backwards(std::size_t first, std::size_t count,
                                 const LineVisitor &each) const
{
    if (first > size() || count > size() - first || fd_ < 0)
        return false;
    std::string piece;
    std::size_t end = first + count; // the lines still to visit are first .. end - 1
    while (end > first) {
        // As many lines before end as fit in a piece, and always one, however long.
        std::size_t begin = end - 1;
        while (begin > first && line_end(end - 1) - line_start(begin - 1) <= read_piece)
            --begin;
        const std::uint64_t from = line_start(begin);
        piece.resize(line_end(end - 1) - from);
        if (!read_at(from, piece.data(), piece.size()))
            return false;
        for (std::size_t i = end; i-- > begin;)
            each(i,
                 std::string_view(piece).substr(line_start(i) - from, line_end(i) - line_start(i)));
        end = begin;
    }
    return true;
}

} // namespace durnmoor
