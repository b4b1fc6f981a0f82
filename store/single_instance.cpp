#include "store/single_instance.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

SingleInstance::SingleInstance(const QString &data_dir)
{
    // Never through a link planted under its name, and never blocking on something that is
    // not a file; read access is all a lock needs.
    const QByteArray path =
        QFile::encodeName(QDir(data_dir).filePath(QString::fromLatin1(instance_lock_name)));
    fd_ = ::open(path.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                 S_IRUSR | S_IWUSR);
    if (fd_ < 0)
        return; // no lock file to hold: the data files will say what is wrong with the folder
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        // Only a lock held by someone else stops the start; a file system without locks
        // cannot tell, and refusing every start there would lock the user out.
        acquired_ = errno != EWOULDBLOCK;
        break;
    }
}

SingleInstance::~SingleInstance()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace durnmoor
