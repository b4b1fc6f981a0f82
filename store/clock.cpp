#include "store/clock.h"

namespace durnmoor {

namespace {
QDate fixed_today;
QDateTime fixed_now;
} // namespace

QDate today()
{
    return fixed_today.isValid() ? fixed_today : QDate::currentDate();
}

void set_fixed_today(QDate date)
{
    fixed_today = date;
}

QDateTime now_utc()
{
    return fixed_now.isValid() ? fixed_now.toUTC() : QDateTime::currentDateTimeUtc();
}

void set_fixed_now(QDateTime moment)
{
    fixed_now = std::move(moment);
}

} // namespace durnmoor
