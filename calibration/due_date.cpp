#include "calibration/due_date.h"

#include "calibration/date_forms.h"
#include "text/number_form.h"

#include <cmath>

namespace durnmoor {

// QDate::addMonths already clamps to the end of a shorter month and steps over the missing
// year 0, which a hand-written year*12+month sum would get wrong.
QDate add_months_clamped(QDate date, int months)
{
    return date.addMonths(months);
}

std::optional<int> whole_months(double interval)
{
    if (std::isnan(interval) || std::fabs(interval) >= max_interval_months + 1.0)
        return std::nullopt;
    return static_cast<int>(std::trunc(interval));
}

std::optional<QDate> due_date(QDate last_calibrated, double interval)
{
    const auto months = whole_months(interval);
    if (!last_calibrated.isValid() || !months)
        return std::nullopt;
    const QDate due = add_months_clamped(last_calibrated, *months);
    if (!due.isValid())
        return std::nullopt;
    return due;
}

std::optional<QDate> due_date(QStringView day, QStringView month, QStringView year,
                              std::string_view interval_text)
{
    const auto last_calibrated = parse_split_date(day, month, year);
    if (!last_calibrated)
        return std::nullopt;
    return due_date(*last_calibrated, leading_number(interval_text));
}

int month_distance(QDate today, QDate due)
{
    return (due.year() * 12 + due.month()) - (today.year() * 12 + today.month());
}

bool due_within(QDate today, std::optional<QDate> due, int horizon_months)
{
    // Decision: an instrument whose record yields no due date (date texts that form no date,
    // an absurd interval) is listed under every horizon. Leaving it out would hide exactly
    // the instruments whose schedule nobody can tell; listing it brings the record to the
    // user's attention, where it can be corrected.
    if (!due)
        return true;
    return month_distance(today, *due) <= horizon_months;
}

} // namespace durnmoor
