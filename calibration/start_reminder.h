#pragma once

class QSettings;

namespace durnmoor {

struct Workspace;

// The start-up reminder: a window for every instrument due within the days of notice, or
// overdue, in file order.
void check_calibration(Workspace &w, const QSettings *settings);

} // namespace durnmoor
