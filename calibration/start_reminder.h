#pragma once

class QWidget;

namespace durnmoor {

class InstrumentRegister;

// The start-up reminder: a window for every instrument due within the days of notice, or
// overdue, in file order.
void show_due_reminders(QWidget *window, InstrumentRegister &instruments);

} // namespace durnmoor
