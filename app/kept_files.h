#pragma once

#include "app/kept_file.h"
#include "calibration/history_file.h"
#include "register/products_file.h"

namespace durnmoor {

// The large files every click looks at, kept parsed while they do not change.
struct KeptFiles {
    KeptFile<ProductsData> products;
    KeptFile<HistoryData> history;
};

} // namespace durnmoor
