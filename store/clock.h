#pragma once

#include <QDate>

namespace durnmoor {

// "Today" for every rule that depends on it. Tests fix it; the program reads the system clock.
QDate today();
void set_fixed_today(QDate date); // an invalid date returns to the system clock

} // namespace durnmoor
