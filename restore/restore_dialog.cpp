#include "restore/restore_dialog.h"

#include "common/busy_cursor.h"
#include "common/message_box.h"
#include "restore/backup_restore.h"
#include "ui_restore_dialog.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

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

RestoreDialog::~RestoreDialog()
{
    stop_counting();
}

namespace {

QString set_time(const BackupSet &set)
{
    return set.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

void RestoreDialog::stop_counting()
{
    counts_.cancel();
    counts_.waitForFinished();
}

void RestoreDialog::refresh()
{
    stop_counting();
    ui->sets->clear();
    sets_ = list_backup_sets(data_dir_);
    for (const BackupSet &set : sets_)
        ui->sets->addItem(set_time(set) + QStringLiteral("   counting\u2026"));
    ui->sets->setCurrentRow(sets_.empty() ? -1 : 0);
    ui->restore->setEnabled(!sets_.empty());

    counts_ = QtConcurrent::run([folder = data_dir_, sets = sets_](QPromise<SetContents> &promise) {
        for (const BackupSet &set : sets) {
            if (promise.isCanceled())
                return;
            promise.addResult(contents_of(folder, set.name));
        }
    });
    auto *watcher = new QFutureWatcher<SetContents>(this);
    connect(watcher, &QFutureWatcherBase::resultReadyAt, this, &RestoreDialog::show_contents);
    connect(watcher, &QFutureWatcherBase::finished, watcher, &QObject::deleteLater);
    watcher->setFuture(counts_);
}

void RestoreDialog::show_contents(int row)
{
    // A watcher of counts a later refresh stopped may still report: its rows are gone.
    if (row < 0 || row >= ui->sets->count() || !counts_.isResultReadyAt(row))
        return;
    ui->sets->item(row)->setText(set_time(sets_[std::size_t(row)]) + QStringLiteral("   ") +
                                 contents_text(counts_.resultAt(row)));
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
    stop_counting(); // the restore makes a set of its own, and lists them again after
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
