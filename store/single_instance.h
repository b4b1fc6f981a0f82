#pragma once

#include <QString>

namespace durnmoor {

// The file in the data folder whose lock says that a copy of the program works there.
inline constexpr char instance_lock_name[] = "durnmoor.lock";

// Holds the one-copy lock of a data folder for as long as it lives. The lock is taken on a
// file of its own in the folder, made readable by its owner alone, so it holds whatever
// the environment of each copy (its temporary folder, the path it reached the folder by),
// and no other user can open it to hold it and keep the owner's copy from starting. The
// folder itself is never locked: anyone who may read a folder may lock it. The system
// lets the lock go the moment its holder ends: a copy that was killed leaves nothing
// behind that could block the next start. The data files' own rewrite locks are on the
// data files and never meet this one.
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
