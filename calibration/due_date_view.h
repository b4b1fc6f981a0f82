#pragma once

namespace durnmoor {

struct Workspace;

// Fills the six date lists and sets both dates to today.
void dates(Workspace &w);
// Shows the next due date of the instrument on the details tab, and names it with its date
// in the instrument list's tooltip.
void CALCULATE_DATE(Workspace &w);

} // namespace durnmoor
