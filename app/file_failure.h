#pragma once

#include "app/twin_file.h"

class QWidget;

namespace durnmoor {

// Tells the user that a data file could not be written and why; the file itself was
// left as it was. Does nothing for a successful write. Returns outcome.ok.
bool report_write_failure(QWidget *parent, const WriteOutcome &outcome);

} // namespace durnmoor
