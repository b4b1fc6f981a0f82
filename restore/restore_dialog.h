#pragma once

#include "backup/backup_set.h"
#include "restore/backup_restore.h"

#include <QDialog>
#include <QFuture>

#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class RestoreDialog;
}

namespace durnmoor {

class SessionBackup;

// "Restore from Backup": the backup sets, newest first, each with its time and what it
// holds; the one chosen is put back once the user confirms.
class RestoreDialog : public QDialog {
    Q_OBJECT

public:
    // may_restore is asked again at the moment of the restore: the right may have gone
    // since the window opened.
    RestoreDialog(const QString &data_dir, SessionBackup &backup, std::function<bool()> may_restore,
                  QWidget *parent = nullptr);
    ~RestoreDialog() override;

    // Lists the sets again, the newest chosen. What each holds is counted on a thread of its
    // own and shown as it comes: a set of a large register takes a moment to read.
    void refresh();

signals:
    // The data files were put back (all or some of them): what shows them is out of date.
    void restored();

private:
    void restore_chosen();
    void stop_counting();
    void show_contents(int row);

    std::unique_ptr<Ui::RestoreDialog> ui;
    QString data_dir_;
    SessionBackup &backup_;
    std::function<bool()> may_restore_;
    std::vector<BackupSet> sets_;
    QFuture<SetContents> counts_;
};

} // namespace durnmoor
