#include "app/single_instance.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace durnmoor {

SingleInstance::SingleInstance(const QString &data_dir)
{
    fd_ = ::open(QFile::encodeName(data_dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return; // no folder to hold: the data files will say what is wrong
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
