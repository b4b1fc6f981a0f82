#include "backup/backup_set.h"

#include "store/file_faults.h"
#include "store/folder_sync.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

constexpr char name_format[] = "yyyy-MM-dd_HHmmss";

QString reason_of(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool refused_by_file_system(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EXDEV ||
           error == ENOTTY || error == EBADF;
}

// The bytes from src to dst by reads and writes, from where both stand.
int copy_by_reads(int src, int dst)
{
    char block[256 * 1024];
    while (true) {
        const ssize_t got = ::read(src, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(dst, block + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put == 0 ? EIO : errno;
            done += put;
        }
    }
}

// Within the kernel where it can copy between the two files; reads and writes where it
// cannot (another file system, an old kernel).
int copy_contents(int src, int dst, const QString &to)
{
    if (const int planted = planted_fault(FileStep::backup_share, to))
        return refused_by_file_system(planted) ? copy_by_reads(src, dst) : planted;
    // A shared extent costs no copy at all: the file system copies a block once either
    // file changes it.
    if (::ioctl(dst, FICLONE, src) == 0)
        return 0;
    bool copied_any = false;
    while (true) {
        const ssize_t got = ::copy_file_range(src, nullptr, dst, nullptr, 1 << 30, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (!copied_any && refused_by_file_system(errno))
                return copy_by_reads(src, dst);
            return errno;
        }
        if (got == 0)
            return 0;
        copied_any = true;
    }
}

bool newer(const BackupSet &a, const BackupSet &b)
{
    return a.time != b.time ? a.time > b.time : a.within_second > b.within_second;
}

QString backups_dir(const QString &data_dir)
{
    return QDir(data_dir).filePath(QString::fromLatin1(backups_folder_name));
}

} // namespace

QString set_name_of(const QDateTime &local, int within_second)
{
    const QString name = local.toString(QString::fromLatin1(name_format));
    return within_second > 1 ? name + QStringLiteral("-%1").arg(within_second) : name;
}

std::optional<BackupSet> set_of(const QString &folder_name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{6})(?:-([1-9]\\d{0,5}))?$"));
    const QRegularExpressionMatch match = pattern.match(folder_name);
    if (!match.hasMatch())
        return std::nullopt;
    const QDateTime time =
        QDateTime::fromString(match.captured(1), QString::fromLatin1(name_format));
    if (!time.isValid())
        return std::nullopt;
    const int within = match.hasCaptured(2) ? match.captured(2).toInt() : 1;
    return BackupSet{folder_name, time, within};
}

QString set_path(const QString &data_dir, const QString &name)
{
    return QDir(backups_dir(data_dir)).filePath(name);
}

int copy_file_flushed(const QString &from, const QString &to, bool owner_only)
{
    const int src = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (src < 0)
        return errno;
    struct stat status {};
    if (::fstat(src, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISREG(status.st_mode) ? errno : EINVAL;
        ::close(src);
        return error;
    }
    const QByteArray target = QFile::encodeName(to);
    int dst = -1;
    int error = planted_fault(FileStep::backup_copy, to);
    if (error == 0) {
        dst = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     S_IRUSR | S_IWUSR);
        if (dst < 0)
            error = errno;
    }
    if (error == 0 && ::fchmod(dst, owner_only ? (S_IRUSR | S_IWUSR) : (status.st_mode & 0777)))
        error = errno;
    if (error == 0)
        error = copy_contents(src, dst, to);
    if (error == 0)
        error = planted_fault(FileStep::backup_sync, to);
    if (error == 0 && ::fsync(dst) != 0)
        error = errno;
    ::close(src);
    if (dst >= 0 && ::close(dst) != 0 && error == 0)
        error = errno;
    if (error != 0 && dst >= 0)
        ::unlink(target.constData());
    return error;
}

BackupOutcome make_backup_set(const QString &data_dir, const std::vector<BackedUpFile> &files,
                              const QDateTime &local)
{
    const QString backups = backups_dir(data_dir);
    int within = 1;
    while (QFileInfo::exists(set_path(data_dir, set_name_of(local, within))))
        ++within;
    QString name = set_name_of(local, within);
    const QString making = QDir(backups).filePath(QString::fromLatin1(set_in_making_prefix) + name);
    auto failed = [&](const QString &file, int error) {
        QDir(making).removeRecursively();
        return BackupOutcome{
            false,
            QStringLiteral("%1/%2%3").arg(QLatin1String(backups_folder_name), name,
                                          file.isEmpty() ? QString() : QLatin1Char('/') + file),
            reason_of(error),
            {}};
    };

    QDir(making).removeRecursively(); // a set cut short before, should one have this name
    // The sets hold every record and the accounts: the folder is its owner's alone.
    if (const int error = planted_fault(FileStep::backup_folder, making))
        return failed({}, error);
    if (::mkdir(QFile::encodeName(backups).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return failed({}, errno);
    if (::mkdir(QFile::encodeName(making).constData(), S_IRWXU) != 0)
        return failed({}, errno);
    for (const BackedUpFile &file : files) {
        const QFileInfo from(QDir(data_dir).filePath(file.name));
        // A file the program has never made holds nothing to keep; anything but a file in
        // its place (a folder) is refused by every reader, and is no data to keep either.
        if (!from.isFile())
            continue;
        if (const int error = copy_file_flushed(from.filePath(), QDir(making).filePath(file.name),
                                                file.owner_only))
            return failed(file.name, error);
    }
    if (const int error = flush_folder(making))
        return failed({}, error);
    // A set of the same name made meanwhile by another copy is never replaced: the next
    // name in that second is taken.
    while (true) {
        const QByteArray from = QFile::encodeName(making);
        const QByteArray to = QFile::encodeName(set_path(data_dir, name));
        int error = planted_fault(FileStep::backup_rename, name);
        if (error == 0 &&
            ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE))
            error = errno;
        // A file system that cannot refuse to replace: the name was free a moment ago, and
        // a folder is renamed only over an empty one, never over a set.
        if ((error == EINVAL || error == ENOSYS) &&
            planted_fault(FileStep::backup_rename, name) == 0)
            error = std::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
        if (error == EEXIST || error == ENOTEMPTY) {
            name = set_name_of(local, ++within);
            continue;
        }
        if (error != 0)
            return failed({}, error);
        break;
    }
    flush_folder(backups);
    return BackupOutcome{true, {}, {}, name};
}

std::vector<BackupSet> list_backup_sets(const QString &data_dir)
{
    std::vector<BackupSet> sets;
    const QStringList folders =
        QDir(backups_dir(data_dir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : folders)
        if (const std::optional<BackupSet> set = set_of(folder))
            sets.push_back(*set);
    std::sort(sets.begin(), sets.end(), newer);
    return sets;
}

int prune_backup_sets(const QString &data_dir, const QDateTime &local_now, int days, int keep)
{
    const QDir backups(backups_dir(data_dir));
    const QStringList making =
        backups.entryList({QString::fromLatin1(set_in_making_prefix) + QLatin1Char('*')},
                          QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &left : making)
        QDir(backups.filePath(left)).removeRecursively();
    int removed = 0;
    const std::vector<BackupSet> sets = list_backup_sets(data_dir);
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 0)); i < sets.size(); ++i)
        if (sets[i].time.addDays(days) <= local_now &&
            QDir(backups.filePath(sets[i].name)).removeRecursively())
            ++removed;
    return removed;
}

} // namespace durnmoor
