#include "certificates/certificate_store.h"

#include "audit/sha256.h"
#include "backup/session_backup.h"
#include "store/file_faults.h"
#include "store/folder_sync.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

namespace {

constexpr char folder_date_format[] = "yyyy-MM-dd";
// Room for the hash suffix within the 255 bytes a name may take, with some to spare.
constexpr qsizetype longest_kept = 160;
constexpr qint64 block_size = 1024 * 1024;

QString reason_of(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Refused by some file system the data folder may sit on (a share), or by every one.
bool refused_in_name(char32_t c)
{
    return c < 0x20 || c == 0x7f || c == U'/' || c == U'\\' || c == U':' || c == U'*' ||
           c == U'?' || c == U'"' || c == U'<' || c == U'>' || c == U'|';
}

QString certificates_dir(const QString &data_dir)
{
    return QDir(data_dir).filePath(QString::fromLatin1(certificates_folder_name));
}

bool is_certificate(const QFileInfo &entry)
{
    return entry.isFile() && !entry.fileName().startsWith(QLatin1String(attaching_prefix));
}

// Renames from to to, never over a file that is there already.
int rename_no_replace(const QString &from, const QString &to)
{
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system that cannot refuse for us: the name was free a moment ago.
    if (QFileInfo::exists(to))
        return EEXIST;
    return std::rename(a.constData(), b.constData()) == 0 ? 0 : errno;
}

// Copies src to dst, hashing what it copies; 0 or the error.
int copy_hashed(int src, int dst, const QString &temporary, qint64 total, Sha256Pieces &hash,
                const CopyProgress &progress, const std::atomic<bool> *cancel)
{
    std::string block(static_cast<std::size_t>(block_size), '\0');
    qint64 done = 0;
    while (true) {
        if (cancel && cancel->load())
            return ECANCELED;
        if (const int planted = planted_fault(FileStep::certificate_copy, temporary))
            return planted;
        const ssize_t got = ::read(src, block.data(), block.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        for (ssize_t put_all = 0; put_all < got;) {
            const ssize_t put =
                ::write(dst, block.data() + put_all, static_cast<std::size_t>(got - put_all));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put == 0 ? EIO : errno;
            put_all += put;
        }
        hash.add(std::string_view(block.data(), static_cast<std::size_t>(got)));
        done += got;
        if (progress)
            progress(done, total);
    }
}

CertificateOutcome failed(const QString &name, int error)
{
    return {false,
            name,
            error == ECANCELED ? QStringLiteral("The copy was cancelled.") : reason_of(error),
            {},
            error == ECANCELED};
}

} // namespace

QString certificate_folder_name(const std::string &number)
{
    const QString decoded = QString::fromUtf8(number);
    QString name;
    bool changed = decoded.toUtf8().toStdString() != number; // bytes that are not UTF-8
    bool leading = true;
    for (const char32_t c : decoded.toUcs4()) {
        const bool dot_first = leading && c == U'.';
        if (c != U'.')
            leading = false;
        if (refused_in_name(c) || dot_first || c == 0xfffd) {
            name += QLatin1Char('_');
            changed = true;
        } else {
            name += QString::fromUcs4(&c, 1);
        }
    }
    if (name.toUtf8().size() > longest_kept) {
        while (name.toUtf8().size() > longest_kept)
            name.chop(1);
        changed = true;
    }
    if (name.isEmpty())
        changed = true;
    if (!changed)
        return name;
    // The hash of the bytes as stored: "a/b" and "a_b" stay apart, and so do two numbers
    // cut to the same beginning.
    return name + QLatin1Char('~') + QString::fromLatin1(sha256_hex(number).substr(0, 10));
}

QString certificate_folder(const QString &data_dir, const std::string &number, QDate day)
{
    return QDir(certificates_dir(data_dir))
        .filePath(certificate_folder_name(number) + QLatin1Char('/') +
                  day.toString(QString::fromLatin1(folder_date_format)));
}

QStringList certificates_of(const QString &data_dir, const std::string &number, QDate day)
{
    QStringList names;
    const QDir folder(certificate_folder(data_dir, number, day));
    for (const QFileInfo &entry : folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        if (is_certificate(entry))
            names << entry.fileName();
    return names;
}

int certificate_count(const QString &data_dir, const std::string &number)
{
    int count = 0;
    QDirIterator it(QDir(certificates_dir(data_dir)).filePath(certificate_folder_name(number)),
                    QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (is_certificate(it.nextFileInfo()))
            ++count;
    return count;
}

QString free_name(const QString &dir, const QString &name)
{
    const QDir folder(dir);
    if (!QFileInfo::exists(folder.filePath(name)))
        return name;
    // "report.pdf" becomes "report (2).pdf"; a name without a suffix, or only one
    // (".profile"), takes the number at its end.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
        if (!QFileInfo::exists(folder.filePath(candidate)))
            return candidate;
    }
}

CertificateOutcome attach_certificate(const QString &data_dir, const std::string &number, QDate day,
                                      const QString &source, const CopyProgress &progress,
                                      const std::atomic<bool> *cancel)
{
    const QString own_name = QFileInfo(source).fileName();
    const QString folder = certificate_folder(data_dir, number, day);
    if (!QDir().mkpath(folder))
        return failed(own_name, errno ? errno : EACCES);

    const int src = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (src < 0)
        return failed(own_name, errno);
    struct stat status {};
    if (::fstat(src, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISREG(status.st_mode) ? errno : EINVAL;
        ::close(src);
        return failed(own_name, error);
    }
    const QString temporary =
        QDir(folder).filePath(QString::fromLatin1(attaching_prefix) + own_name);
    const QByteArray target = QFile::encodeName(temporary);
    ::unlink(target.constData()); // what a copy cut short before left under this name
    const int dst =
        ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (dst < 0) {
        const int error = errno;
        ::close(src);
        return failed(own_name, error);
    }
    Sha256Pieces hash;
    int error = copy_hashed(src, dst, temporary, status.st_size, hash, progress, cancel);
    if (error == 0)
        error = planted_fault(FileStep::certificate_sync, temporary);
    if (error == 0 && ::fsync(dst) != 0)
        error = errno;
    ::close(src);
    if (::close(dst) != 0 && error == 0)
        error = errno;
    std::optional<std::string> digest;
    if (error == 0 && !(digest = hash.hex()))
        error = EIO;

    QString name = free_name(folder, own_name);
    while (error == 0) {
        error = planted_fault(FileStep::certificate_rename, name);
        if (error == 0)
            error = rename_no_replace(temporary, QDir(folder).filePath(name));
        if (error != EEXIST)
            break;
        // Another copy took the name in between: the next free one.
        error = 0;
        name = free_name(folder, name);
    }
    if (error != 0) {
        ::unlink(target.constData());
        return failed(own_name, error);
    }
    flush_folder(folder);
    return {true, name, {}, *digest};
}

CertificateOutcome move_certificate_to_backup(SessionBackup &backup, const QString &data_dir,
                                              const std::string &number, QDate day,
                                              const QString &name)
{
    const QString from = QDir(certificate_folder(data_dir, number, day)).filePath(name);
    QFile file(from);
    if (!file.open(QIODevice::ReadOnly))
        return {false, name, file.errorString()};
    Sha256Pieces hash;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(block_size);
        if (piece.isEmpty() && file.error() != QFileDevice::NoError)
            return {false, name, file.errorString()};
        hash.add(std::string_view(piece.constData(), static_cast<std::size_t>(piece.size())));
    }
    file.close();
    const std::optional<std::string> digest = hash.hex();
    if (!digest)
        return {false, name, reason_of(EIO)};

    const BackupOutcome made = backup.before_change();
    if (!made.ok)
        return {false, name, QStringLiteral("%1: %2").arg(made.file, made.reason)};
    const QString relative =
        QDir(data_dir).relativeFilePath(certificate_folder(data_dir, number, day));
    const QString into = QDir(set_path(data_dir, backup.set_name())).filePath(relative);
    if (!QDir().mkpath(into))
        return failed(name, errno ? errno : EACCES);
    const QString kept_as = free_name(into, name);
    int error = planted_fault(FileStep::certificate_move, from);
    if (error == 0)
        error = rename_no_replace(from, QDir(into).filePath(kept_as));
    if (error != 0)
        return failed(name, error);
    flush_folder(into);
    flush_folder(QFileInfo(from).path());
    return {true, name, {}, *digest};
}

} // namespace durnmoor
