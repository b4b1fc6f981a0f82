#include "calibration/history_tab.h"

#include "common/list_clicks.h"
#include "common/one_line_boxes.h"
#include "calibration/history_file.h"
#include "ui_history_tab.h"

#include <QSignalBlocker>

#include <limits>

namespace durnmoor {

HistoryTab::HistoryTab(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::HistoryTab>())
{
    ui->setupUi(this);
    keep_to_one_line(this);
    ui->Text22->setMaxLength(std::numeric_limits<int>::max());
    connect(new ListClicks(ui->List2), &ListClicks::clicked, this, &HistoryTab::entry_clicked);
    connect(ui->List2, &QListWidget::itemDoubleClicked, this, &HistoryTab::entry_double_clicked);
    connect(ui->Command9, &QPushButton::clicked, this, &HistoryTab::now_calibrated_clicked);
    connect(ui->Command10, &QPushButton::clicked, this, &HistoryTab::update_clicked);
    connect(ui->Command11, &QPushButton::clicked, this, &HistoryTab::remove_clicked);
}

HistoryTab::~HistoryTab() = default;

void HistoryTab::show_number(const QString &number)
{
    ui->Text22->setText(number);
}

QString HistoryTab::number() const
{
    return ui->Text22->text();
}

void HistoryTab::show_history(const QStringList &entries, const HistoryFigures &figures)
{
    {
        const QSignalBlocker blocker(ui->List2);
        ui->List2->clear();
        ui->List2->addItems(entries);
    }
    ui->Text29->setText(QString::number(figures.count));
    ui->Text28->setText(QString::fromStdString(figures.total.format()));
    ui->Text27->setText(figures.average ? QString::fromStdString(figures.average->format())
                                        : QString());
}

void HistoryTab::show_no_history()
{
    show_history({}, HistoryFigures{});
}

void HistoryTab::add_entry(const QString &entry)
{
    const QSignalBlocker blocker(ui->List2);
    ui->List2->addItem(entry);
}

QString HistoryTab::selected_entry() const
{
    const QList<QListWidgetItem *> selected = ui->List2->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void HistoryTab::show_result(const QString &text)
{
    ui->Text26->set_text(text);
}

QString HistoryTab::result() const
{
    return ui->Text26->text();
}

void HistoryTab::open_result(bool focus)
{
    ui->Text26->setReadOnly(false);
    if (focus)
        ui->Text26->setFocus();
}

void HistoryTab::lock_result()
{
    ui->Text26->setReadOnly(true);
}

void HistoryTab::clean()
{
    for (QLineEdit *box : {ui->Text22, ui->Text27, ui->Text28, ui->Text29})
        box->clear();
    ui->Text26->clear();
    const QSignalBlocker blocker(ui->List2);
    ui->List2->clear();
}

void HistoryTab::set_number_enabled(bool on)
{
    ui->Text22->setEnabled(on);
}

void HistoryTab::set_now_calibrated_enabled(bool on)
{
    ui->Command9->setEnabled(on);
}

void HistoryTab::set_update_enabled(bool on)
{
    ui->Command10->setEnabled(on);
}

void HistoryTab::set_remove_enabled(bool on)
{
    ui->Command11->setEnabled(on);
}

} // namespace durnmoor
