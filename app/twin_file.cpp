#include "app/twin_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace durnmoor {

namespace {

QString system_reason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Makes the rename itself durable: the directory entry is flushed too.
void sync_directory(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void ensure_exists(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::Append))
        file.close();
}

std::string read_all_bytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Straight into the string: a large register is not held twice on its way in.
    std::string bytes(static_cast<std::size_t>(file.size()), '\0');
    const qint64 read = file.read(bytes.data(), static_cast<qint64>(bytes.size()));
    bytes.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return bytes;
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
                                  std::string_view bytes)
{
    const QString twin_name = QFileInfo(twin_path).fileName();
    const QString data_name = QFileInfo(data_path).fileName();
    auto failure = [&](const QString &file, const QString &reason) {
        return WriteOutcome{false, data_name, file, reason};
    };
    QFile twin(twin_path);
    if (!twin.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failure(twin_name, twin.errorString());

    auto abandon = [&](const QString &reason) {
        twin.close();
        QFile::remove(twin_path);
        return failure(twin_name, reason);
    };
    if (!write_all(twin, bytes) || !twin.flush())
        return abandon(twin.errorString());
    if (::fsync(twin.handle()) != 0)
        return abandon(system_reason());
    twin.close();
    if (twin.error() != QFileDevice::NoError)
        return abandon(twin.errorString());

    // rename() replaces the data file atomically: a reader sees the old file or the new one.
    if (std::rename(QFile::encodeName(twin_path).constData(),
                    QFile::encodeName(data_path).constData()) != 0) {
        const QString reason = system_reason();
        QFile::remove(twin_path);
        return failure(data_name, reason);
    }
    sync_directory(QFileInfo(data_path).absolutePath());
    return {};
}

} // namespace durnmoor
