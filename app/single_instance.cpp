#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>

namespace durnmoor {

SingleInstance::SingleInstance(const QString &app_path)
{
    // The lock sits in the temporary directory, not beside the data: the program
    // directory holds nothing but the data files. One lock per directory, so two
    // separate installations may run side by side.
    const QByteArray key =
        QCryptographicHash::hash(QDir(app_path).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    lock_ = std::make_unique<QLockFile>(
        QDir(QDir::tempPath())
            .filePath(QStringLiteral("durnmoor-%1.lock").arg(QString::fromLatin1(key))));
    lock_->setStaleLockTime(0); // a lock is stale only when its process is gone
    acquired_ = lock_->tryLock(0);
}

SingleInstance::~SingleInstance() = default;

} // namespace durnmoor
