#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace durnmoor {

// The folder in the data folder that holds the backup sets, one folder per set.
inline constexpr char backups_folder_name[] = "backups";
// A set is copied under this name and its own, and takes its own name once complete: a set
// cut short by a crash never looks like one.
inline constexpr char set_in_making_prefix[] = ".making-";

// One file a set holds, by its name in the data folder.
struct BackedUpFile {
    QString name;
    // Readable and writable by its owner alone, as the file itself (the accounts).
    bool owner_only = false;
};

// One complete set: its folder's name ("2026-12-05_093000", or "2026-12-05_093000-2" for
// the second within that second) and the local time it was made, to the second.
struct BackupSet {
    QString name;
    QDateTime time;
    int within_second = 1;
};

// What became of making a set: when ok is false there is no set and no part of one, and
// file (the set's file that failed, "backups/2026-12-05_093000/history.dat") and reason
// say why. name is the set made.
struct BackupOutcome {
    bool ok = true;
    QString file;
    QString reason;
    QString name;
};

// The set's name of a moment in local time.
QString set_name_of(const QDateTime &local, int within_second = 1);
// The set a folder's name stands for; nullopt for any other name (a set in the making).
std::optional<BackupSet> set_of(const QString &folder_name);

// Copies every file of files that the data folder holds into a new set named for local,
// each copy flushed to the disk: the set's folder is written under a temporary name and
// renamed, and flushed, when complete. On failure nothing of the set is left.
BackupOutcome make_backup_set(const QString &data_dir, const std::vector<BackedUpFile> &files,
                              const QDateTime &local);

// The complete sets, newest first.
std::vector<BackupSet> list_backup_sets(const QString &data_dir);
QString set_path(const QString &data_dir, const QString &name);

// At start: what a killed backup left is removed, and so is every set that is days old or
// older and not among the newest keep. The number of sets removed.
int prune_backup_sets(const QString &data_dir, const QDateTime &local_now, int days, int keep);

// Copies one file, flushed to the disk: a shared extent where the file system offers one,
// else a copy within the kernel, else reads and writes. The copy is created anew (never over
// an existing file) with the source's mode, or its owner's alone. 0, or the error.
int copy_file_flushed(const QString &from, const QString &to, bool owner_only);

} // namespace durnmoor
