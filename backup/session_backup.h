#pragma once

#include "backup/backup_set.h"

#include <QString>

#include <vector>

namespace durnmoor {

// The backup set of one working session: made before the first change of a data file since
// the program started, and not again. The rewrite path asks for it before each change.
class SessionBackup {
public:
    SessionBackup(QString data_dir, std::vector<BackedUpFile> files);

    // The session's set, made now unless made already: ok when the change may go ahead.
    BackupOutcome before_change();
    // A set of the files as they are now, whether or not the session has one (the state a
    // restore is about to replace); it stands for the session's set too.
    BackupOutcome make_now();
    bool made() const { return made_; }
    // The session's set's folder name, once made.
    const QString &set_name() const { return set_name_; }
    const QString &data_dir() const { return data_dir_; }

private:
    QString data_dir_;
    std::vector<BackedUpFile> files_;
    bool made_ = false;
    QString set_name_;
};

} // namespace durnmoor
