#include "calibration/reminders.h"

#include "calibration/due_dates.h"
#include "register/list_entries.h"

namespace durnmoor {

std::vector<DueReminder> due_reminders(const ProductsData &data, QDate today, int notice_days)
{
    std::vector<DueReminder> due;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto date = record_due_date(data, i);
        if (!date)
            continue;
        const qint64 days = today.daysTo(*date);
        if (days <= notice_days)
            due.push_back({std::string(data.line(i, instrument_no)), days, *date});
    }
    return due;
}

} // namespace durnmoor
