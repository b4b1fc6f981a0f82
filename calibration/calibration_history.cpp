#include "calibration/calibration_history.h"

#include "common/busy_cursor.h"
#include "store/clock.h"
#include "common/file_failure.h"
#include "app/kept_files.h"
#include "common/message_box.h"
#include "store/record_file.h"
#include "app/workspace.h"
#include "calibration/date_forms.h"
#include "calibration/history_file.h"
#include "calibration/history_tab.h"
#include "register/details_tab.h"
#include "register/editing.h"
#include "register/entry_area.h"
#include "register/instrument_list.h"
#include "register/list_entries.h"
#include "register/products_file.h"

#include <QScopeGuard>

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
    return screen_text(record.date);
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

// The history's new contents: the chosen result corrected, or a new record at the end.
struct HistoryChange {
    std::optional<HistoryRewrite> corrected;
    std::string appended;
    QString refused; // why nothing can be written, when something is wrong

    std::string_view bytes() const
    {
        return corrected ? std::string_view(corrected->bytes()) : std::string_view(appended);
    }
    // Once written: what is kept is what the file now holds.
    void keep(Workspace &w, const DataFile &file)
    {
        if (corrected)
            w.kept.history.keep(file.identity(),
                                std::make_shared<const HistoryData>(std::move(*corrected)));
        else
            w.kept.history.keep_written(file, std::move(appended));
    }
};

HistoryChange history_change(const Workspace &w, const HistoryData &data, const std::string &number,
                             const QString &shown, const ResultLines &result)
{
    HistoryChange change;
    if (!shown.isEmpty()) {
        change.corrected.emplace(
            rewritten(data, number, shown, [&result](HistoryRewrite &into, std::size_t i) {
                into.replace_result(i, result);
            }));
        return change;
    }
    const std::string date = file_date(today()).toStdString();
    const std::string cost = w.details->cost_bytes();
    if (const char *field = field_with_line_break(number, date, cost)) {
        change.refused = line_break_refused(QString::fromLatin1(field));
        return change;
    }
    change.appended = *data.with_appended(number, date, cost, result);
    return change;
}

// The instrument on screen with today as its last calibration.
product_record calibrated_today(const Workspace &w)
{
    product_record entered = w.details->entered_record();
    const SplitDate today_split = split_date(today());
    entered[lastcal_day] = today_split.day.toLocal8Bit().toStdString();
    entered[lastcal_month] = today_split.month.toLocal8Bit().toStdString();
    entered[lastcal_year] = today_split.year.toLocal8Bit().toStdString();
    return entered;
}

// Tells what became of a calibration whose files could not both be written.
void report_unrecorded(Workspace &w, const PairWriteOutcome &outcome)
{
    QString text = QStringLiteral("The calibration could not be recorded.\n%1: %2\n")
                       .arg(outcome.file, outcome.reason);
    text += outcome.left_changed.isEmpty()
                ? QStringLiteral("%1 and %2 have been left as they were.")
                      .arg(QLatin1String(history_file_name), QLatin1String(products_file_name))
                : QStringLiteral("%1 could not be put back: it holds the new calibration, but "
                                 "%2 has not been changed.")
                      .arg(outcome.left_changed, QLatin1String(products_file_name));
    Messages::notify(w.window, text, QString::fromLatin1(app_title), QMessageBox::Warning);
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
    auto caption_back = qScopeGuard([&w] { change_caption(w); });
    const QString shown = w.history->selected_entry();
    // A line reading like the end marker would cut the result short and shift every
    // later record: refuse it before anything changes, with the box still open.
    const auto result = encode_result(w.history->result());
    if (!result) {
        Messages::notify(w.window, QString::fromLatin1(result_marker_refused),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }

    // The calibration goes into the history and the instrument's last calibration into the
    // register as one change: both are written or neither, and until then the form stays
    // as it is, the result open, ready to be stored again.
    DataFile history =
        DataFile::read_for_rewrite(history_file(w.state.app_path), w.kept.history.identity());
    if (!report_read_failure(w.window, history, ReadPurpose::change))
        return;
    const std::shared_ptr<const HistoryData> old_history = w.kept.history.take(history);
    HistoryChange change = history_change(w, *old_history, number, shown, *result);
    if (!change.refused.isEmpty()) {
        report_write_failure(w.window,
                             {false, history.file_name(), history.file_name(), change.refused, {}});
        return;
    }
    DataFile products =
        DataFile::read_for_rewrite(products_file(w.state.app_path), w.kept.products.identity());
    if (!report_read_failure(w.window, products, ReadPurpose::change))
        return;
    const std::shared_ptr<const ProductsData> old_products = w.kept.products.take(products);
    // No to the overwrite question keeps the instrument as it was; the calibration is
    // recorded all the same.
    std::optional<ProductSave> save = plan_product_save(w, *old_products, calibrated_today(w));
    if (save && save->rewrite.refused_line()) {
        report_write_failure(w.window, replace_with(products, save->rewrite));
        return;
    }
    if (save) {
        const PairWriteOutcome outcome =
            replace_together(history, change.bytes(), products, save->rewrite.bytes());
        if (!outcome.ok) {
            report_unrecorded(w, outcome);
            return;
        }
    } else if (!report_write_failure(w.window, history.replace(change.bytes()))) {
        return;
    }
    change.keep(w, history);
    caption_back.dismiss();
    change_caption(w);

    disableform(w);
    w.details->set_last_calibrated(today());
    if (shown.isEmpty())
        w.history->add_entry(long_display(today()));
    if (save)
        product_saved(w, products, old_products, std::move(*save));
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
