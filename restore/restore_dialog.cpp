#include "restore/restore_dialog.h"

#include "common/busy_cursor.h"
#include "common/message_box.h"
#include "restore/backup_restore.h"
#include "ui_restore_dialog.h"

#include <QPushButton>

namespace durnmoor {

RestoreDialog::RestoreDialog(const QString &data_dir, SessionBackup &backup,
                             std::function<bool()> may_restore, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::RestoreDialog>()), data_dir_(data_dir),
      backup_(backup), may_restore_(std::move(may_restore))
{
    ui->setupUi(this);
    connect(ui->restore, &QPushButton::clicked, this, &RestoreDialog::restore_chosen);
    connect(ui->cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->sets, &QListWidget::currentRowChanged, this,
            [this](int row) { ui->restore->setEnabled(row >= 0); });
}

RestoreDialog::~RestoreDialog() = default;

void RestoreDialog::refresh()
{
    const BusyCursor busy;
    ui->sets->clear();
    sets_ = list_backup_sets(data_dir_);
    for (const BackupSet &set : sets_)
        ui->sets->addItem(
            QStringLiteral("%1   %2").arg(set.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                          contents_text(contents_of(data_dir_, set.name))));
    ui->sets->setCurrentRow(sets_.empty() ? -1 : 0);
    ui->restore->setEnabled(!sets_.empty());
}

void RestoreDialog::restore_chosen()
{
    const int row = ui->sets->currentRow();
    if (row < 0 || row >= static_cast<int>(sets_.size()) || !may_restore_())
        return;
    const BackupSet chosen = sets_[static_cast<std::size_t>(row)];
    if (!Messages::confirm(this, restore_question(chosen), QString::fromLatin1(app_title),
                           QMessageBox::Question))
        return;
    bool all_back = false;
    {
        const BusyCursor busy;
        all_back = restore_backup_set(this, data_dir_, chosen.name, backup_);
    }
    emit restored(); // even a restore cut short may have put some files back
    if (all_back)
        close();
    else
        refresh();
}

} // namespace durnmoor
