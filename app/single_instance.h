#pragma once

#include <QString>

namespace durnmoor {

// Holds the one-copy lock of a data folder for as long as it lives. The lock is taken on
// the folder itself, so it holds whatever the environment of each copy (its temporary
// folder, its user, the path it reached the folder by), and the system lets it go the
// moment its holder ends: a copy that was killed leaves nothing behind that could block
// the next start.
class SingleInstance {
public:
    explicit SingleInstance(const QString &data_dir);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // False when another copy working on the same folder is already running.
    bool acquired() const { return acquired_; }

private:
    int fd_ = -1;
    bool acquired_ = true;
};

} // namespace durnmoor
