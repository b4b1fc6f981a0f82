#include "calibration/due_dates.h"

#include "calibration/due_date.h"
#include "text/screen_text.h"

#include <algorithm>

namespace durnmoor {

namespace {

// A short line of plain ASCII, as it reads in every 8-bit encoding, held without a heap
// allocation; anything else is decoded into a string. The date fields of a register are
// nearly all short ASCII, and a due listing reads them for every record.
class DateField {
public:
    explicit DateField(std::string_view line)
    {
        const bool plain = line.size() <= sizeof(units_) / sizeof(units_[0]) &&
                           std::all_of(line.begin(), line.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (!plain) {
            decoded_ = screen_text(line);
            view_ = decoded_;
            return;
        }
        std::copy(line.begin(), line.end(), units_);
        view_ = QStringView(units_, static_cast<qsizetype>(line.size()));
    }
    DateField(const DateField &) = delete;
    DateField &operator=(const DateField &) = delete;

    QStringView view() const { return view_; }

private:
    char16_t units_[32];
    QString decoded_;
    QStringView view_;
};

qint64 due_day(const ProductsData &data, std::size_t record)
{
    const auto due = record_due_date(data, record);
    return due ? due->toJulianDay() : DueDates::no_date;
}

} // namespace

std::optional<QDate> record_due_date(const ProductsData &data, std::size_t record)
{
    // One walk to the last line wanted, rather than one from the record's start for each.
    static_assert(interval_months < lastcal_year && lastcal_day < lastcal_year &&
                  lastcal_month < lastcal_year);
    std::string_view day, month, year, interval;
    data.each_line(
        record,
        [&](int n, std::string_view line) {
            if (n == lastcal_day)
                day = line;
            else if (n == lastcal_month)
                month = line;
            else if (n == lastcal_year)
                year = line;
            else if (n == interval_months)
                interval = line;
        },
        lastcal_year);
    const DateField d(day), m(month), y(year);
    return due_date(d.view(), m.view(), y.view(), interval);
}

const std::vector<qint64> &DueDates::of(const std::shared_ptr<const ProductsData> &data)
{
    if (made_from_.lock() == data && locale_ == QLocale())
        return days_;
    days_.assign(data->size(), no_date);
    for (std::size_t i = 0; i < data->size(); ++i)
        days_[i] = due_day(*data, i);
    made_from_ = data;
    locale_ = QLocale();
    return days_;
}

void DueDates::carry_over(const RegisterEdit &edit)
{
    if (made_from_.lock() != edit.before || !edit.holds() || locale_ != QLocale())
        return;
    if (edit.changed) {
        days_.resize(edit.after->size(), no_date);
        days_[*edit.changed] = due_day(*edit.after, *edit.changed);
    } else {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < days_.size(); ++i)
            if (!edit.dropped[i])
                days_[kept++] = days_[i];
        days_.resize(kept);
    }
    made_from_ = edit.after;
}

} // namespace durnmoor
