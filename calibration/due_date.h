#pragma once

#include <QDate>
#include <QStringView>

#include <optional>
#include <string_view>

namespace durnmoor {

// Intervals beyond ten thousand years are damage, not a schedule.
inline constexpr int max_interval_months = 120000;

// Moves a date by whole calendar months, keeping the day of the month; a day the target month
// lacks becomes that month's last day (31 January + 1 = 28 or 29 February).
QDate add_months_clamped(QDate date, int months);

// The whole months of an interval, cut toward zero (1.5 -> 1, -1.5 -> -1), so that a due date
// never falls later than the interval written. nullopt for NaN or beyond max_interval_months.
std::optional<int> whole_months(double interval);

// The due-date rule: the last-calibrated date plus the interval in calendar months. The texts
// come straight from a record or from the date lists; the interval is the numeric value at
// the start of its text (an empty or non-numeric text is 0). nullopt when the date texts do not
// form a date or the interval is absurd.
std::optional<QDate> due_date(QStringView day, QStringView month, QStringView year,
                              std::string_view interval_text);
std::optional<QDate> due_date(QDate last_calibrated, double interval);

// Calendar months from today's month to the due month; the days play no part, so anything due
// this month is 0 and anything overdue from an earlier month is negative.
int month_distance(QDate today, QDate due);

// Whether an instrument belongs in a listing of what falls due within the next horizon_months:
// overdue and this month's included. An instrument without a due date counts as due under
// every horizon, so that a record nobody can schedule is never silently left out.
bool due_within(QDate today, std::optional<QDate> due, int horizon_months);

} // namespace durnmoor
