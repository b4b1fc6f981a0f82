#include "store/clock.h"

namespace durnmoor {

namespace {
QDate fixed_today;
}

QDate today()
{
    return fixed_today.isValid() ? fixed_today : QDate::currentDate();
}

void set_fixed_today(QDate date)
{
    fixed_today = date;
}

} // namespace durnmoor
