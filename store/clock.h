#pragma once

#include <QDate>
#include <QDateTime>

namespace durnmoor {

// "Today" for every rule that depends on it. Tests fix it; the program reads the system clock.
QDate today();
void set_fixed_today(QDate date); // an invalid date returns to the system clock

// The moment now, in UTC, for what records when a change was made. Tests fix it too.
QDateTime now_utc();
void set_fixed_now(QDateTime moment); // an invalid moment returns to the system clock

} // namespace durnmoor
