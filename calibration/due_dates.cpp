#include "calibration/due_dates.h"

#include "calibration/due_date.h"
#include "register/list_entries.h"

namespace durnmoor {

std::optional<QDate> record_due_date(const ProductsData &data, std::size_t record)
{
    return due_date(list_text(data.line(record, lastcal_day)),
                    list_text(data.line(record, lastcal_month)),
                    list_text(data.line(record, lastcal_year)), data.line(record, interval_months));
}

const std::vector<qint64> &DueDates::of(const std::shared_ptr<const ProductsData> &data)
{
    if (made_from_.lock() == data && locale_ == QLocale())
        return days_;
    days_.assign(data->size(), no_date);
    for (std::size_t i = 0; i < data->size(); ++i)
        if (const auto due = record_due_date(*data, i))
            days_[i] = due->toJulianDay();
    made_from_ = data;
    locale_ = QLocale();
    return days_;
}

} // namespace durnmoor
