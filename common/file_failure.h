#pragma once

#include "store/data_file.h"
#include "store/twin_file.h"

class QWidget;

namespace durnmoor {

// Tells the user that a data file could not be written and why; the file itself was
// left as it was. Does nothing for a successful write. Returns outcome.ok.
bool report_write_failure(QWidget *parent, const WriteOutcome &outcome);

// What the caller wanted a data file for, which decides what the user is told when it
// could not be read.
enum class ReadPurpose { show, change };

// Tells the user that a data file could not be read and why: for showing, that nothing of
// it is shown and it will not be changed; for a change, that the change was refused.
// Does nothing for a file that was read. Returns file.ok().
bool report_read_failure(QWidget *parent, const DataFile &file, ReadPurpose purpose);

} // namespace durnmoor
