#include "calibration/calibration_log.h"

#include "audit/record_changes.h"
#include "calibration/date_forms.h"
#include "calibration/due_date.h"
#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "common/file_rewrite.h"
#include "common/message_box.h"
#include "register/instrument_register.h"
#include "store/clock.h"
#include "text/screen_text.h"

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

// A calibration's lines as the audit trail names them: its result's lines are one field.
std::vector<std::string> trail_lines(const std::string &number, const std::string &date,
                                     const std::string &cost,
                                     const std::vector<std::string> &result)
{
    std::string joined;
    for (std::size_t i = 0; i < result.size(); ++i)
        joined += (i == 0 ? "" : "\n") + result[i];
    return {number, date, cost, joined};
}

std::vector<std::string> trail_lines(const HistoryRecord &record)
{
    return trail_lines(record.instrument_no, record.date, record.cost, record.result_lines);
}

AuditNote calibration_note(const char *action, const HistoryRecord &record,
                           std::vector<FieldChange> changes)
{
    return {
        action,
        {screen_text(record.instrument_no).toStdString(), screen_text(record.date).toStdString()},
        std::move(changes)};
}

// The history's new contents: the chosen result corrected, or a new record at the end.
struct HistoryChange {
    std::optional<HistoryRewrite> corrected;
    std::string appended;
    QString refused; // why nothing can be written, when something is wrong
    std::vector<AuditNote> notes;

    std::string_view bytes() const
    {
        return corrected ? std::string_view(corrected->bytes()) : std::string_view(appended);
    }
    // Once written: what is kept is what the file now holds.
    void keep(KeptRewrite<HistoryData> &history)
    {
        if (corrected)
            history.keep(std::move(*corrected));
        else
            history.keep(std::move(appended));
    }
};

HistoryChange history_change(const HistoryData &data, const std::string &number,
                             const QString &shown, const ResultLines &result,
                             const std::string &cost)
{
    HistoryChange change;
    if (!shown.isEmpty()) {
        change.corrected.emplace(
            rewritten(data, number, shown, [&](HistoryRewrite &into, std::size_t i) {
                into.replace_result(i, result);
                const HistoryRecord old = data.record(i);
                HistoryRecord corrected = old;
                corrected.result_lines = result.lines();
                change.notes.push_back(
                    calibration_note(audit_action::calibration_change, old,
                                     changed_fields(history_trail_fields, trail_lines(old),
                                                    trail_lines(corrected))));
            }));
        return change;
    }
    const std::string date = file_date(today()).toStdString();
    if (const char *field = field_with_line_break(number, date, cost)) {
        change.refused = line_break_refused(QString::fromLatin1(field));
        return change;
    }
    change.appended = *data.with_appended(number, date, cost, result);
    const HistoryRecord added{number, date, cost, result.lines(), true};
    change.notes.push_back(
        calibration_note(audit_action::calibration_add, added,
                         added_fields(history_trail_fields, trail_lines(added))));
    return change;
}

// The instrument as entered, with today as its last calibration.
product_record calibrated_today(product_record entered)
{
    const SplitDate today_split = split_date(today());
    entered[lastcal_day] = today_split.day.toLocal8Bit().toStdString();
    entered[lastcal_month] = today_split.month.toLocal8Bit().toStdString();
    entered[lastcal_year] = today_split.year.toLocal8Bit().toStdString();
    return entered;
}

// Tells what became of a calibration whose files could not both be written.
void report_unrecorded(QWidget *window, const PairWriteOutcome &outcome)
{
    QString text = QStringLiteral("The calibration could not be recorded.\n%1: %2\n")
                       .arg(outcome.file, outcome.reason);
    text += outcome.left_changed.isEmpty()
                ? QStringLiteral("%1 and %2 have been left as they were.")
                      .arg(QLatin1String(history_file_name), QLatin1String(products_file_name))
                : QStringLiteral("%1 could not be put back: it holds the new calibration, but "
                                 "%2 has not been changed.")
                      .arg(outcome.left_changed, QLatin1String(products_file_name));
    Messages::notify(window, text, QString::fromLatin1(app_title), QMessageBox::Warning);
}

} // namespace

CalibrationLog::CalibrationLog(const QString &data_folder, QWidget *window,
                               InstrumentRegister &instruments, QObject *parent)
    : QObject(parent), data_folder_(data_folder), window_(window), instruments_(instruments),
      certificates_(data_folder, window, instruments.access())
{
    connect(&instruments_, &InstrumentRegister::rewritten, this,
            [this](const RegisterEdit &edit) { due_dates_.carry_over(edit); });
}

void CalibrationLog::prepare()
{
    DataFile file = DataFile::read(history_file(data_folder_), kept_.identity());
    if (file.ok())
        kept_.take(file);
}

std::shared_ptr<const HistoryData> CalibrationLog::current(bool &read)
{
    DataFile file = DataFile::read(history_file(data_folder_), kept_.identity());
    read = report_read_failure(window_, file, ReadPurpose::show);
    return kept_.take(file);
}

ShownHistory CalibrationLog::history_of(const std::string &instrument_no)
{
    bool read = false;
    const std::shared_ptr<const HistoryData> data = current(read);
    ShownHistory shown;
    for (const std::size_t i : data->history_of(instrument_no)) {
        const HistoryRecord record = data->record(i);
        shown.entries.append(entry_text(record));
        shown.days.append(parse_file_date(record.date).value_or(QDate()));
    }
    shown.figures = data->figures_of(instrument_no);
    return shown;
}

std::optional<QString> CalibrationLog::result_of(const std::string &instrument_no,
                                                 const QString &shown)
{
    bool read = false;
    const std::shared_ptr<const HistoryData> data = current(read);
    if (!read)
        return std::nullopt;
    for (const std::size_t i : data->history_of(instrument_no)) {
        const HistoryRecord record = data->record(i);
        if (entry_text(record) == shown)
            return result_text(record);
    }
    return std::nullopt;
}

bool CalibrationLog::record(const std::string &number, const QString &shown,
                            const QString &result_text)
{
    const BusyCursor busy;
    if (number.empty()) {
        Messages::notify(window_, QString::fromLatin1(no_instrument),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return false;
    }
    emit working(QString::fromLatin1(updating_caption));
    auto caption_back = qScopeGuard([this] { emit idle(); });
    // A line reading like the end marker would cut the result short and shift every
    // later record: refuse it before anything changes, with the box still open.
    const auto result = encode_result(result_text);
    if (!result) {
        Messages::notify(window_, QString::fromLatin1(result_marker_refused),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return false;
    }

    // The calibration goes into the history and the instrument's last calibration into the
    // register as one change: both are written or neither, and until then the form stays
    // as it is, the result open, ready to be stored again.
    KeptRewrite<HistoryData> history(window_, history_file(data_folder_), kept_);
    if (!history.read())
        return false;
    HistoryChange change =
        history_change(*history.before(), number, shown, *result, instruments_.entered_cost());
    if (!change.refused.isEmpty()) {
        history.refuse(change.refused);
        return false;
    }
    for (AuditNote &note : change.notes)
        history.note(std::move(note));
    KeptRewrite<ProductsData> products = instruments_.rewrite();
    if (!products.read())
        return false;
    // No to the overwrite question keeps the instrument as it was; the calibration is
    // recorded all the same.
    std::optional<ProductSave> save =
        instruments_.plan_save(*products.before(), calibrated_today(instruments_.entered_record()));
    if (save)
        for (AuditNote &note : save->notes)
            products.note(std::move(note));
    if (save && save->rewrite.refused_line()) {
        products.finish(save->rewrite);
        return false;
    }
    if (save) {
        const PairWriteOutcome outcome =
            FileRewrite::finish_together(history, change.bytes(), products, save->rewrite.bytes());
        if (!outcome.ok) {
            report_unrecorded(window_, outcome);
            return false;
        }
    } else if (!history.finish(change.bytes())) {
        return false;
    }
    change.keep(history);
    caption_back.dismiss();
    emit idle();

    instruments_.close_entry();
    emit calibrated(today(), shown.isEmpty());
    if (save)
        instruments_.saved(products, std::move(*save));
    emit done(shown.isEmpty()
                  ? QStringLiteral("Calibration of %1 on %2 recorded.")
                        .arg(screen_text(number), long_display(today()))
                  : QStringLiteral("Result of %1 for %2 updated.").arg(screen_text(number), shown));
    return true;
}

bool CalibrationLog::remove(const std::string &number, const QString &shown)
{
    if (shown.isEmpty()) {
        Messages::notify(window_, QString::fromLatin1(remove_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return false;
    }
    const BusyCursor busy;
    emit working(QString::fromLatin1(updating_caption));

    KeptRewrite<HistoryData> history(window_, history_file(data_folder_), kept_);
    if (history.read()) {
        const HistoryData &before = *history.before();
        std::vector<QDate> days;
        HistoryRewrite rewrite =
            rewritten(before, number, shown, [&](HistoryRewrite &, std::size_t i) {
                const HistoryRecord removed = before.record(i);
                if (const std::optional<QDate> day = parse_file_date(removed.date))
                    days.push_back(*day);
                history.note(
                    calibration_note(audit_action::calibration_remove, removed,
                                     removed_fields(history_trail_fields, trail_lines(removed))));
            });
        if (history.finish(rewrite.bytes())) {
            const std::shared_ptr<const HistoryData> after = history.keep(std::move(rewrite));
            // A certificate proves a calibration: once no calibration of its date is left,
            // it goes to the backup set with the calibration.
            for (const std::size_t i : after->history_of(number))
                std::erase(days, parse_file_date(after->record(i).date).value_or(QDate()));
            for (const QDate day : days)
                certificates_.remove_all(number, day);
            emit done(
                QStringLiteral("Calibration of %1 on %2 removed.").arg(screen_text(number), shown));
        }
    }

    instruments_.show_chosen();
    emit idle();
    return true;
}

void CalibrationLog::list_due(int horizon_months)
{
    instruments_.close_entry();
    emit working(QString::fromLatin1(listing_caption));
    const BusyCursor busy;
    instruments_.empty_list();
    instruments_.clear_entry();
    const QDate now = today();
    const std::shared_ptr<const ProductsData> data = instruments_.current();
    const std::vector<qint64> &days = due_dates_.of(data);
    instruments_.list_some(data, [&days, now, horizon_months](std::size_t i) {
        // A record whose dates or interval give no due date is listed under every
        // horizon: it needs the user's attention more than any other.
        const qint64 day = days[i];
        return due_within(
            now, day == DueDates::no_date ? std::nullopt : std::optional(QDate::fromJulianDay(day)),
            horizon_months);
    });
    emit idle();
    instruments_.open_entry();
}

} // namespace durnmoor
