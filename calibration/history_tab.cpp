#include "calibration/history_tab.h"

#include "access/access_control.h"
#include "calibration/calibration_log.h"
#include "calibration/certificate_actions.h"
#include "calibration/date_forms.h"
#include "calibration/history_file.h"
#include "common/busy_cursor.h"
#include "common/list_clicks.h"
#include "common/one_line_boxes.h"
#include "register/instrument_register.h"
#include "text/screen_text.h"
#include "ui_history_tab.h"

#include <QSignalBlocker>

#include <limits>

namespace durnmoor {

HistoryTab::HistoryTab(CalibrationLog &log, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::HistoryTab>()), log_(log)
{
    ui->setupUi(this);
    keep_to_one_line(this);
    ui->Text22->setMaxLength(std::numeric_limits<int>::max());
    connect(new ListClicks(ui->List2), &ListClicks::clicked, this, &HistoryTab::entry_clicked);
    connect(ui->List2, &QListWidget::itemDoubleClicked, this, &HistoryTab::entry_double_clicked);
    connect(ui->Command9, &QPushButton::clicked, this, [this] {
        set_now_calibrated_enabled(false);
        set_update_enabled(true);
        open_result(true);
    });
    connect(ui->Command10, &QPushButton::clicked, this, &HistoryTab::update_result);
    connect(ui->Command11, &QPushButton::clicked, this, &HistoryTab::remove_calibration);

    CertificateActions &certificates = log.certificates();
    connect(ui->certificateList, &QListWidget::itemSelectionChanged, this,
            &HistoryTab::update_certificate_buttons);
    auto open = [this, &certificates] {
        if (const QString name = selected_certificate(); !name.isEmpty())
            certificates.open(number_bytes(), selected_day(), name);
    };
    connect(ui->certificateList, &QListWidget::itemDoubleClicked, this, open);
    connect(ui->openCertificate, &QPushButton::clicked, this, open);
    connect(ui->attachCertificate, &QPushButton::clicked, this,
            [this, &certificates] { certificates.attach(number_bytes(), selected_day()); });
    connect(ui->removeCertificate, &QPushButton::clicked, this, [this, &certificates] {
        certificates.remove(number_bytes(), selected_day(), selected_certificate());
    });
    connect(&certificates, &CertificateActions::changed, this,
            [this](const std::string &number, QDate day) {
                if (number == number_bytes() && day == selected_day())
                    show_certificates();
            });
    update_certificate_buttons();

    connect(&log, &CalibrationLog::calibrated, this, [this](QDate day, bool new_entry) {
        if (new_entry)
            add_entry(long_display(day), day);
    });
    InstrumentRegister *r = &log.instruments();
    connect(r, &InstrumentRegister::instrument_shown, this,
            [this](const product_record &record) { show_instrument(record[instrument_no]); });
    connect(r, &InstrumentRegister::instrument_missing, this, &HistoryTab::show_no_history);
    connect(r, &InstrumentRegister::entry_began, this, [this](bool existing) {
        if (existing)
            set_now_calibrated_enabled(true);
    });
    connect(r, &InstrumentRegister::entry_opened, this, [this](bool may_edit) {
        set_number_enabled(true);
        if (!may_edit) {
            set_now_calibrated_enabled(false);
            set_update_enabled(false);
            set_remove_enabled(false);
        }
        update_certificate_buttons();
    });
    // Recording a calibration belongs to an instrument open for editing: once the entry is
    // closed there is no instrument to record it against.
    connect(r, &InstrumentRegister::entry_closed, this, [this] {
        set_number_enabled(false);
        set_now_calibrated_enabled(false);
        set_update_enabled(false);
        set_remove_enabled(false);
        lock_result();
        update_certificate_buttons();
    });
    connect(r, &InstrumentRegister::entry_cleared, this, &HistoryTab::clean);
}

void HistoryTab::show_instrument(const std::string &number)
{
    loaded_number_ = number;
    show_number(screen_text(number));
    const ShownHistory shown = log_.history_of(number);
    show_history(shown.entries, shown.figures, shown.days);
}

std::string HistoryTab::number_bytes() const
{
    const QString shown = number();
    if (shown == screen_text(loaded_number_))
        return loaded_number_;
    return shown.toLocal8Bit().toStdString();
}

void HistoryTab::entry_clicked()
{
    const QString shown = selected_entry();
    if (shown.isEmpty())
        return;
    const BusyCursor busy;
    if (const std::optional<QString> result = log_.result_of(number_bytes(), shown)) {
        show_result(*result);
        if (log_.instruments().access().may_edit())
            set_remove_enabled(true);
    }
    show_certificates();
}

QDate HistoryTab::selected_day() const
{
    const QList<QListWidgetItem *> selected = ui->List2->selectedItems();
    return selected.isEmpty() ? QDate() : selected.front()->data(Qt::UserRole).toDate();
}

QString HistoryTab::selected_certificate() const
{
    const QList<QListWidgetItem *> selected = ui->certificateList->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void HistoryTab::show_certificates()
{
    {
        const QSignalBlocker blocker(ui->certificateList);
        ui->certificateList->clear();
        ui->certificateList->addItems(log_.certificates().list(number_bytes(), selected_day()));
    }
    update_certificate_buttons();
}

void HistoryTab::update_certificate_buttons()
{
    const bool may_edit = log_.instruments().access().may_edit();
    const bool chosen = !selected_certificate().isEmpty();
    ui->attachCertificate->setEnabled(may_edit && selected_day().isValid());
    ui->openCertificate->setEnabled(chosen);
    ui->removeCertificate->setEnabled(may_edit && chosen);
}

void HistoryTab::entry_double_clicked()
{
    if (!log_.instruments().access().may_edit())
        return;
    set_update_enabled(true);
    open_result(false);
}

void HistoryTab::update_result()
{
    if (!log_.record(number_bytes(), selected_entry(), result()))
        return;
    show_result(QString());
    set_update_enabled(false);
}

void HistoryTab::remove_calibration()
{
    if (!log_.remove(number_bytes(), selected_entry()))
        return;
    set_update_enabled(false);
    set_remove_enabled(false);
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

void HistoryTab::show_history(const QStringList &entries, const HistoryFigures &figures,
                              const QList<QDate> &days)
{
    {
        const QSignalBlocker blocker(ui->List2);
        ui->List2->clear();
        for (qsizetype i = 0; i < entries.size(); ++i)
            add_entry(entries[i], i < days.size() ? days[i] : QDate());
    }
    show_certificates();
    ui->Text29->setText(QString::number(figures.count));
    ui->Text28->setText(QString::fromStdString(figures.total.format()));
    ui->Text27->setText(figures.average ? QString::fromStdString(figures.average->format())
                                        : QString());
}

void HistoryTab::show_no_history()
{
    show_history({}, HistoryFigures{});
}

void HistoryTab::add_entry(const QString &entry, QDate day)
{
    const QSignalBlocker blocker(ui->List2);
    auto *item = new QListWidgetItem(entry, ui->List2);
    item->setData(Qt::UserRole, day);
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
    {
        const QSignalBlocker blocker(ui->List2);
        ui->List2->clear();
    }
    show_certificates();
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
