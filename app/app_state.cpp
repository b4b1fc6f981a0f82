#include "app/app_state.h"

#include "text/number_form.h"

namespace durnmoor {

bool right_granted(const QString &right)
{
    return leading_number(right.toLocal8Bit().toStdString()) != 0.0;
}

} // namespace durnmoor
