#pragma once

namespace durnmoor {

struct Workspace;

// Lists the instruments falling due within the next horizon_months months, overdue ones
// included.
void future_listing(Workspace &w, int horizon_months);

} // namespace durnmoor
