#pragma once

#include "register/products_file.h"

#include <QDate>

#include <string>
#include <vector>

namespace durnmoor {

// An instrument to remind the user of at start-up.
struct DueReminder {
    std::string instrument_no;
    qint64 days = 0; // from today to the due date: negative when overdue
    QDate due;
};

// Every instrument due within notice_days of today, or overdue, in file order. Instruments
// whose stored dates give no due date are left out: no reminder could tell when they fall
// due (the due listing shows them under every horizon instead).
std::vector<DueReminder> due_reminders(const ProductsData &data, QDate today, int notice_days);

} // namespace durnmoor
