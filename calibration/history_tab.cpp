// The "Product Calibration History" tab: an instrument's calibrations, their results
// and what they cost.
#include "app/main_window.h"

#include "app/busy_cursor.h"
#include "app/clock.h"
#include "app/file_failure.h"
#include "app/message_box.h"
#include "calibration/date_forms.h"
#include "calibration/history_file.h"
#include "register/list_order.h"
#include "ui_details_tab.h"
#include "ui_history_tab.h"

#include <QSignalBlocker>

namespace durnmoor {

namespace {

constexpr char updating_caption[] = "Updating Result Database... Just a Moment...";
constexpr char remove_nothing_selected[] =
    "You have to select a calibration-date from the history-list to remove it!";

// How a calibration stands in the history list: its date in the long display form, or
// the stored text itself when it is no date, so that it can still be found and removed.
QString entry_text(const HistoryRecord &record)
{
    if (const auto date = parse_file_date(record.date))
        return long_display(*date);
    return list_text(record.date);
}

} // namespace

void MainWindow::connect_history()
{
    connect(history->List2, &QListWidget::itemSelectionChanged, this,
            &MainWindow::history_entry_chosen);
    connect(history->List2, &QListWidget::itemDoubleClicked, this, [this] {
        if (!state_.may_edit())
            return;
        history->Command10->setEnabled(true);
        history->Text26->setReadOnly(false);
    });
    connect(history->Command9, &QPushButton::clicked, this, [this] {
        history->Text26->setReadOnly(false);
        history->Command9->setEnabled(false);
        history->Command10->setEnabled(true);
        history->Text26->setFocus();
    });
    connect(history->Command10, &QPushButton::clicked, this, &MainWindow::update_result);
    connect(history->Command11, &QPushButton::clicked, this, &MainWindow::remove_calibration);
}

void MainWindow::load_history(const std::string &instrument_number)
{
    DataFile file = DataFile::read(history_file(state_.app_path));
    report_read_failure(this, file, ReadPurpose::show);
    const HistoryData data(file.take_bytes(), instrument_number);
    QStringList entries;
    for (const std::size_t i : data.history_of(instrument_number))
        entries.append(entry_text(data.record(i)));
    {
        const QSignalBlocker blocker(history->List2);
        history->List2->clear();
        history->List2->addItems(entries);
    }
    const HistoryFigures figures = data.figures_of(instrument_number);
    history->Text29->setText(QString::number(figures.count));
    history->Text28->setText(QString::fromStdString(figures.total.format()));
    history->Text27->setText(figures.average ? QString::fromStdString(figures.average->format())
                                             : QString());
}

void MainWindow::show_no_history()
{
    {
        const QSignalBlocker blocker(history->List2);
        history->List2->clear();
    }
    history->Text29->setText(QStringLiteral("0"));
    history->Text28->setText(QString::fromStdString(Money().format()));
    history->Text27->clear();
}

QString MainWindow::selected_history_entry() const
{
    const QList<QListWidgetItem *> selected = history->List2->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void MainWindow::history_entry_chosen()
{
    const QString shown = selected_history_entry();
    if (shown.isEmpty())
        return;
    const BusyCursor busy;
    const std::string number = field_bytes(history->Text22->text(), instrument_no);
    DataFile file = DataFile::read(history_file(state_.app_path));
    if (!report_read_failure(this, file, ReadPurpose::show))
        return;
    const HistoryData data(file.take_bytes(), number);
    for (const std::size_t i : data.history_of(number)) {
        if (entry_text(data.record(i)) != shown)
            continue;
        history->Text26->setPlainText(result_text(data.record(i)));
        if (state_.may_edit())
            history->Command11->setEnabled(true);
        return;
    }
}

void MainWindow::update_result()
{
    const BusyCursor busy;
    setWindowTitle(QString::fromLatin1(updating_caption));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const std::string number = field_bytes(history->Text22->text(), instrument_no);
    const QString shown = selected_history_entry();
    // A line reading like the end marker would cut the result short and shift every
    // later record: refuse it before anything changes, with the box still open.
    const auto result = encode_result(history->Text26->toPlainText());
    if (!result) {
        change_caption();
        Messages::notify(this, QString::fromLatin1(result_marker_refused),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }

    // The history is written first: if that fails, nothing else changes and the result
    // stays open in its box, ready to be stored again.
    DataFile file = DataFile::read_for_rewrite(history_file(state_.app_path));
    if (!report_read_failure(this, file, ReadPurpose::change)) {
        change_caption();
        return;
    }
    const HistoryData data(file.take_bytes());
    WriteOutcome outcome;
    if (!shown.isEmpty()) {
        HistoryRewrite rewrite(data);
        for (std::size_t i = 0; i < data.size(); ++i) {
            const HistoryRecord &record = data.record(i);
            if (record.instrument_no == number && entry_text(record) == shown)
                rewrite.replace_result(i, *result);
            else
                rewrite.copy(i);
        }
        outcome = file.replace(rewrite.bytes());
    } else if (const auto appended =
                   data.with_appended(number, file_date(today()).toStdString(),
                                      field_bytes(details->Text5->text(), cal_cost), *result)) {
        outcome = file.replace(*appended);
    } else {
        outcome = {false, QString::fromLatin1(history_file_name),
                   QString::fromLatin1(history_file_name),
                   QStringLiteral("The instrument number or the cost holds a line break.")};
    }
    change_caption();
    if (!report_write_failure(this, outcome))
        return;

    disableform();
    const SplitDate now = split_date(today());
    details->Combo1->setCurrentText(now.day);
    details->Combo5->setCurrentText(now.month);
    details->Combo6->setCurrentText(now.year);
    if (shown.isEmpty()) {
        const QSignalBlocker blocker(history->List2);
        history->List2->addItem(long_display(today()));
    }

    save_product();
    history->Text26->clear();
    history->Command10->setEnabled(false);
}

void MainWindow::remove_calibration()
{
    const QString shown = selected_history_entry();
    if (shown.isEmpty()) {
        Messages::notify(this, QString::fromLatin1(remove_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }
    const BusyCursor busy;
    setWindowTitle(QString::fromLatin1(updating_caption));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const std::string number = field_bytes(history->Text22->text(), instrument_no);
    DataFile file = DataFile::read_for_rewrite(history_file(state_.app_path));
    if (report_read_failure(this, file, ReadPurpose::change)) {
        const HistoryData data(file.take_bytes());
        HistoryRewrite rewrite(data);
        for (std::size_t i = 0; i < data.size(); ++i) {
            const HistoryRecord &record = data.record(i);
            if (!(record.instrument_no == number && entry_text(record) == shown))
                rewrite.copy(i);
        }
        report_write_failure(this, file.replace(rewrite.bytes()));
    }

    list_selection_changed();
    change_caption();
    history->Command10->setEnabled(false);
    history->Command11->setEnabled(false);
}

} // namespace durnmoor
