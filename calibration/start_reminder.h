#pragma once

#include "calibration/reminders.h"

#include <vector>

class QWidget;

namespace durnmoor {

class InstrumentRegister;

// The start-up reminder's check: every instrument due within the days of notice, or
// overdue, in file order.
std::vector<DueReminder> check_due_reminders(InstrumentRegister &instruments);

// A window for each reminder, in order, cascading over window (over the screen when window
// is not shown), all of one width; the one in front takes the keyboard, so Escape closes
// one after another.
void show_due_reminders(QWidget *window, const std::vector<DueReminder> &reminders);

} // namespace durnmoor
