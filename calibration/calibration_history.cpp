#include "calibration/calibration_history.h"

#include "app/busy_cursor.h"
#include "app/clock.h"
#include "app/file_failure.h"
#include "app/kept_files.h"
#include "app/message_box.h"
#include "app/record_file.h"
#include "app/workspace.h"
#include "calibration/date_forms.h"
#include "calibration/history_file.h"
#include "calibration/history_tab.h"
#include "register/details_tab.h"
#include "register/editing.h"
#include "register/entry_area.h"
#include "register/instrument_list.h"
#include "register/list_entries.h"

namespace durnmoor {

namespace {

constexpr char updating_caption[] = "Updating Result Database... Just a Moment...";
constexpr char remove_nothing_selected[] =
    "You have to select a calibration-date from the history-list to remove it!";
constexpr char no_instrument[] =
    "A calibration can only be recorded for an instrument. Choose one in the list first.";

// How a calibration stands in the history list: its date in the long display form, or
// the stored text itself when it is no date, so that it can still be found and removed.
QString entry_text(const HistoryRecord &record)
{
    if (const auto date = parse_file_date(record.date))
        return long_display(*date);
    return list_text(record.date);
}

// The number every history operation works on: the history tab's copy of the instrument
// number, as the bytes it was loaded from.
std::string shown_number(const Workspace &w)
{
    return w.details->bytes_for(instrument_no, w.history->number());
}

// history.dat as it is now, for showing; false (reported) when it cannot be read.
bool read_history(Workspace &w, std::shared_ptr<const HistoryData> &data)
{
    DataFile file = DataFile::read(history_file(w.state.app_path), w.kept.history.identity());
    const bool read = report_read_failure(w.window, file, ReadPurpose::show);
    data = w.kept.history.take(file);
    return read;
}

} // namespace

void prepare_history(Workspace &w)
{
    DataFile file = DataFile::read(history_file(w.state.app_path), w.kept.history.identity());
    if (file.ok())
        w.kept.history.take(file);
}

namespace {

// Whether record i of the history is the one the history list shows as shown.
bool is_shown(const HistoryData &data, std::size_t i, const std::string &number,
              const QString &shown)
{
    const HistoryRecord record = data.record(i);
    return record.instrument_no == number && entry_text(record) == shown;
}

// The whole history rewritten with the records the list shows as shown changed by change
// (or, without one, dropped); the others are copied as they are.
template <typename Change>
HistoryRewrite rewritten(const HistoryData &data, const std::string &number, const QString &shown,
                         Change change)
{
    std::vector<bool> chosen(data.size(), false);
    for (const std::size_t i : data.history_of(number))
        chosen[i] = is_shown(data, i, number, shown);
    HistoryRewrite rewrite(data);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (chosen[i])
            change(rewrite, i);
        else
            rewrite.copy(i);
    }
    return rewrite;
}

// Writes the new history: the chosen result corrected, or a new record at the end.
WriteOutcome store_result(Workspace &w, DataFile &file, const std::string &number,
                          const QString &shown, const ResultLines &result)
{
    const std::shared_ptr<const HistoryData> data = w.kept.history.take(file);
    if (!shown.isEmpty()) {
        HistoryRewrite rewrite =
            rewritten(*data, number, shown, [&result](HistoryRewrite &into, std::size_t i) {
                into.replace_result(i, result);
            });
        const WriteOutcome outcome = file.replace(rewrite.bytes());
        if (outcome.ok)
            w.kept.history.keep(file.identity(),
                                std::make_shared<const HistoryData>(std::move(rewrite)));
        return outcome;
    }
    const std::string date = file_date(today()).toStdString();
    const std::string cost = w.details->cost_bytes();
    if (const char *field = field_with_line_break(number, date, cost))
        return {false,
                file.file_name(),
                file.file_name(),
                line_break_refused(QString::fromLatin1(field)),
                {}};
    std::optional<std::string> bytes = data->with_appended(number, date, cost, result);
    WriteOutcome outcome = file.replace(*bytes);
    if (outcome.ok)
        w.kept.history.keep_written(file, std::move(*bytes));
    return outcome;
}

} // namespace

void load_history(Workspace &w, const std::string &instrument_number)
{
    std::shared_ptr<const HistoryData> data;
    read_history(w, data);
    QStringList entries;
    for (const std::size_t i : data->history_of(instrument_number))
        entries.append(entry_text(data->record(i)));
    w.history->show_history(entries, data->figures_of(instrument_number));
}

void history_entry_clicked(Workspace &w)
{
    const QString shown = w.history->selected_entry();
    if (shown.isEmpty())
        return;
    const BusyCursor busy;
    const std::string number = shown_number(w);
    std::shared_ptr<const HistoryData> data;
    if (!read_history(w, data))
        return;
    for (const std::size_t i : data->history_of(number)) {
        const HistoryRecord record = data->record(i);
        if (entry_text(record) != shown)
            continue;
        w.history->show_result(result_text(record));
        if (w.state.may_edit())
            w.history->set_remove_enabled(true);
        return;
    }
}

void history_entry_double_clicked(Workspace &w)
{
    if (!w.state.may_edit())
        return;
    w.history->set_update_enabled(true);
    w.history->open_result(false);
}

void now_calibrated(Workspace &w)
{
    w.history->set_now_calibrated_enabled(false);
    w.history->set_update_enabled(true);
    w.history->open_result(true);
}

void update_result(Workspace &w)
{
    const BusyCursor busy;
    const std::string number = shown_number(w);
    if (number.empty()) {
        Messages::notify(w.window, QString::fromLatin1(no_instrument),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }
    show_working_caption(w, updating_caption);
    const QString shown = w.history->selected_entry();
    // A line reading like the end marker would cut the result short and shift every
    // later record: refuse it before anything changes, with the box still open.
    const auto result = encode_result(w.history->result());
    if (!result) {
        change_caption(w);
        Messages::notify(w.window, QString::fromLatin1(result_marker_refused),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }

    // The history is written first: if that fails, nothing else changes and the result
    // stays open in its box, ready to be stored again.
    DataFile file =
        DataFile::read_for_rewrite(history_file(w.state.app_path), w.kept.history.identity());
    const bool stored =
        report_read_failure(w.window, file, ReadPurpose::change) &&
        report_write_failure(w.window, store_result(w, file, number, shown, *result));
    change_caption(w);
    if (!stored)
        return;

    disableform(w);
    w.details->set_last_calibrated(today());
    if (shown.isEmpty())
        w.history->add_entry(long_display(today()));

    save_product(w);
    w.history->show_result(QString());
    w.history->set_update_enabled(false);
}

void remove_calibration(Workspace &w)
{
    const QString shown = w.history->selected_entry();
    if (shown.isEmpty()) {
        Messages::notify(w.window, QString::fromLatin1(remove_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }
    const BusyCursor busy;
    show_working_caption(w, updating_caption);

    const std::string number = shown_number(w);
    DataFile file =
        DataFile::read_for_rewrite(history_file(w.state.app_path), w.kept.history.identity());
    if (report_read_failure(w.window, file, ReadPurpose::change)) {
        const std::shared_ptr<const HistoryData> data = w.kept.history.take(file);
        HistoryRewrite rewrite =
            rewritten(*data, number, shown, [](HistoryRewrite &, std::size_t) {});
        if (report_write_failure(w.window, file.replace(rewrite.bytes())))
            w.kept.history.keep(file.identity(),
                                std::make_shared<const HistoryData>(std::move(rewrite)));
    }

    line_clicked(w);
    change_caption(w);
    w.history->set_update_enabled(false);
    w.history->set_remove_enabled(false);
}

} // namespace durnmoor
