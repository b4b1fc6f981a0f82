#pragma once

#include "backup/backup_set.h"

#include <QString>

#include <cstddef>
#include <vector>

class QWidget;

namespace durnmoor {

class SessionBackup;

// Every file a backup set keeps: the four data files and the audit trail.
std::vector<BackedUpFile> backed_up_files();

// What one set holds, as the restore window lists it.
struct SetContents {
    std::size_t instruments = 0;
    std::size_t calibrations = 0;
    std::size_t contacts = 0;
};
SetContents contents_of(const QString &data_dir, const QString &set_name);
// "3 instruments, 1 calibration, 2 contacts"
QString contents_text(const SetContents &contents);

// The question asked before a restore, naming the set's time.
QString restore_question(const BackupSet &set);

// Puts the data files of the set back, each through the one rewrite path with an entry in
// the audit trail naming the set, after a set of the files as they are now. The audit trail
// is never put back: what it recorded stays. The register and the history go back as one
// change. Whatever fails is told and stops the restore; true when every file is back.
bool restore_backup_set(QWidget *parent, const QString &data_dir, const QString &set_name,
                        SessionBackup &backup);

} // namespace durnmoor
