#include "backup/session_backup.h"

#include "store/clock.h"

namespace durnmoor {

SessionBackup::SessionBackup(QString data_dir, std::vector<BackedUpFile> files)
    : data_dir_(std::move(data_dir)), files_(std::move(files))
{
}

BackupOutcome SessionBackup::before_change()
{
    if (made_)
        return {};
    return make_now();
}

BackupOutcome SessionBackup::make_now()
{
    BackupOutcome outcome = make_backup_set(data_dir_, files_, now_utc().toLocalTime());
    if (outcome.ok) {
        made_ = true;
        set_name_ = outcome.name;
    }
    return outcome;
}

} // namespace durnmoor
