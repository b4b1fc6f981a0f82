#pragma once

#include "store/kept_file.h"
#include "calibration/due_dates.h"
#include "calibration/history_file.h"
#include "register/list_entries.h"
#include "register/products_file.h"

namespace durnmoor {

// The large files every click looks at, kept parsed while they do not change.
struct KeptFiles {
    KeptFile<ProductsData> products;
    KeptFile<HistoryData> history;
    DueDates due_dates;   // of the register last listed by due date
    FullOrder full_order; // of the register last listed in full

    // After this program rewrote the register: what is kept of it follows the edit.
    void follow(const RegisterEdit &edit)
    {
        full_order.carry_over(edit);
        due_dates.carry_over(edit);
    }
};

} // namespace durnmoor
