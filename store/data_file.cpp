#include "store/data_file.h"

#include "store/file_faults.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <new>
#include <stdexcept>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

constexpr char not_regular[] = "It is not a regular file.";
constexpr char busy[] = "Another program is writing it.";
constexpr char too_large[] = "It is too large to be read into memory.";
constexpr char not_read_for_change[] = "It was not read for a change.";
constexpr char shared_twin[] = "Both changes would go through the same twin file.";
constexpr int lock_retry_ms = 10;

QString reason_of(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// How long after a change a file's times may still fail to show the next one: file systems
// keep them in ticks of the system clock (FAT in two-second steps), so a second change
// within the tick of the first leaves the same times.
constexpr std::int64_t default_settling_ns = 2'000'000'000;
std::int64_t settling_ns = default_settling_ns;

bool changed_moments_ago(const FileIdentity &identity)
{
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t now_ns = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    return now_ns - std::max(identity.modified_ns, identity.changed_ns) < settling_ns;
}

// What a trusted identity after this program's own write is: the one written, unless the
// file's times keep whole seconds only and it was written moments ago. Then another
// program's edit of the same size within that second would leave the same identity, and
// the copy kept from the write would be taken for the file and written over its edit.
std::optional<FileIdentity> trusted_after_write(const std::optional<FileIdentity> &written)
{
    if (written && !times_below_the_second(*written) && changed_moments_ago(*written))
        return std::nullopt;
    return written;
}

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The most a file read into memory may hold: the machine's memory. Anything larger could
// never be held, and asking for it would end the program instead of refusing the file.
std::uint64_t memory_for_a_file()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long page_size = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || page_size <= 0)
        return UINT64_MAX; // not known: what the allocation says decides
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

// Reads everything left in the file; 0 when it all came in, else the error (EFBIG when it
// cannot be held in memory). The string is sized from the file's size once and filled
// through a small reused block, so a large file is neither zero-filled first nor moved
// while it grows.
int read_to_end(int fd, const QString &path, std::string &out, off_t expected)
{
    if (const int planted = planted_fault(FileStep::read, path))
        return planted;
    constexpr std::size_t block_size = 256 * 1024;
    thread_local const std::unique_ptr<char[]> block(new char[block_size]);
    const std::uint64_t limit = std::min<std::uint64_t>(memory_for_a_file(), out.max_size());
    out.clear();
    if (expected > 0 && static_cast<std::uint64_t>(expected) > limit)
        return EFBIG;
    try {
        out.reserve(expected > 0 ? static_cast<std::size_t>(expected) : 0);
        ask_for_large_pages(out);
        while (true) {
            const ssize_t got = ::read(fd, block.get(), block_size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return errno;
            if (got == 0)
                break;
            // A file that keeps growing while it is read is held to the same bound.
            if (out.size() + static_cast<std::size_t>(got) > limit) {
                std::string().swap(out);
                return EFBIG;
            }
            out.append(block.get(), static_cast<std::size_t>(got));
        }
    } catch (const std::bad_alloc &) {
        std::string().swap(out);
        return EFBIG;
    } catch (const std::length_error &) {
        std::string().swap(out);
        return EFBIG;
    }
    // Less than the file's size means it was cut while we read: not the file as it is.
    return static_cast<off_t>(out.size()) < expected ? EIO : 0;
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

void ask_for_large_pages(void *data, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t large_page = 2 * 1024 * 1024;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + large_page - 1) & ~(large_page - 1);
    const std::uintptr_t last = (begin + bytes) & ~(large_page - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void ask_for_large_pages(std::string &buffer)
{
    ask_for_large_pages(buffer.data(), buffer.capacity());
}

void set_settling_time(std::optional<std::int64_t> nanoseconds)
{
    settling_ns = nanoseconds.value_or(default_settling_ns);
}

DataFile DataFile::read(const DataFilePlace &place, const FileIdentity *kept)
{
    return open(place, false, kept);
}

DataFile DataFile::read_for_rewrite(const DataFilePlace &place, const FileIdentity *kept)
{
    return open(place, true, kept);
}

DataFile DataFile::open(const DataFilePlace &place, bool for_rewrite, const FileIdentity *kept)
{
    DataFile file(place);
    file.for_rewrite_ = for_rewrite;
    auto refuse = [&file](const QString &problem) {
        file.problem_ = problem;
        file.bytes_.clear();
        file.identity_.reset();
        file.unchanged_ = false;
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
        file.identity_ = identity_of(opened);
        file.unchanged_ = kept && *kept == *file.identity_;
        if (file.unchanged_) {
            // The caller's copy is what the file holds: nothing to read.
        } else if (const int error = read_to_end(fd, place.path, file.bytes_, opened.st_size)) {
            ::close(fd);
            return refuse(error == EFBIG ? QString::fromLatin1(too_large) : reason_of(error));
        } else if (changed_moments_ago(*file.identity_)) {
            // Another change within the same tick would keep this identity: what was read
            // now is not to be taken for the file's contents later.
            file.identity_.reset();
        }
        if (for_rewrite)
            file.locked_fd_ = fd;
        else
            ::close(fd);
        return file;
    }
}

PiecesRead read_in_pieces(const DataFilePlace &place,
                          const std::function<void(std::string_view)> &take)
{
    const QByteArray path = QFile::encodeName(place.path);
    struct stat named {};
    if (::stat(path.constData(), &named) != 0)
        return {errno == ENOENT ? QString() : reason_of(errno), {}};
    if (!S_ISREG(named.st_mode))
        return {QString::fromLatin1(not_regular), {}};
    if (const int planted = planted_fault(FileStep::open, place.path))
        return {reason_of(planted), {}};
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? QString() : reason_of(errno), {}};
    const auto closed = qScopeGuard([fd] { ::close(fd); });
    struct stat before {};
    if (::fstat(fd, &before) != 0 || !S_ISREG(before.st_mode))
        return {QString::fromLatin1(not_regular), {}};
    if (const int planted = planted_fault(FileStep::read, place.path))
        return {reason_of(planted), {}};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // A piece that stays in the processor's caches while it is taken.
    constexpr std::size_t piece_size = 1 << 20;
    const auto piece = std::make_unique_for_overwrite<char[]>(piece_size);
    while (true) {
        const ssize_t got = ::read(fd, piece.get(), piece_size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {reason_of(errno), {}};
        if (got == 0)
            break;
        take(std::string_view(piece.get(), static_cast<std::size_t>(got)));
    }
    struct stat after {};
    const FileIdentity read = identity_of(before);
    if (::fstat(fd, &after) != 0 || identity_of(after) != read || changed_moments_ago(read))
        return {};
    return {{}, read};
}

DataFile::DataFile(DataFile &&other) noexcept
    : place_(std::move(other.place_)), bytes_(std::move(other.bytes_)),
      problem_(std::move(other.problem_)), for_rewrite_(other.for_rewrite_),
      unchanged_(other.unchanged_), identity_(other.identity_), locked_fd_(other.locked_fd_)
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
        unchanged_ = other.unchanged_;
        identity_ = other.identity_;
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

QString DataFile::refusal() const
{
    if (!ok())
        return problem_;
    return for_rewrite_ ? QString() : QString::fromLatin1(not_read_for_change);
}

void DataFile::replaced(const WriteOutcome &outcome, const std::optional<FileIdentity> &written)
{
    release();
    for_rewrite_ = false; // the bytes read are no longer what the file holds
    unchanged_ = false;
    identity_ = outcome.ok ? trusted_after_write(written) : std::nullopt;
}

WriteOutcome DataFile::replace(std::string_view new_bytes)
{
    if (const QString refused = refusal(); !refused.isEmpty())
        return WriteOutcome{false, file_name(), file_name(), refused, {}};
    WriteOutcome outcome =
        replace_through_twin(place_.path, place_.twin_path, new_bytes, place_.owner_only);
    replaced(outcome, outcome.written);
    return outcome;
}

PairWriteOutcome replace_together(DataFile &first, std::string_view first_bytes, DataFile &second,
                                  std::string_view second_bytes)
{
    auto refuse = [&](const DataFile &file, const QString &reason) {
        const PairWriteOutcome refused{{false, file.file_name(), file.file_name(), reason, {}}, {}};
        first.replaced(refused, std::nullopt);
        second.replaced(refused, std::nullopt);
        return refused;
    };
    for (const DataFile *file : {&first, &second})
        if (const QString refused = file->refusal(); !refused.isEmpty())
            return refuse(*file, refused);
    // Two files of one twin would each write over the other's new contents. (The same file
    // twice cannot get here: its second read would wait for the first one's lock.)
    if (first.place_.path == second.place_.path ||
        first.place_.twin_path == second.place_.twin_path)
        return refuse(second, QString::fromLatin1(shared_twin));

    TwinReplace one{first.place_.path,       first.place_.twin_path, first_bytes,
                    first.place_.owner_only, first.locked_fd_,       {}};
    TwinReplace two{second.place_.path,       second.place_.twin_path, second_bytes,
                    second.place_.owner_only, second.locked_fd_,       {}};
    PairWriteOutcome outcome = replace_both_through_twins(one, two);
    first.replaced(outcome, one.written);
    second.replaced(outcome, two.written);
    return outcome;
}

} // namespace durnmoor
