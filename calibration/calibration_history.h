#pragma once

#include <string>

namespace durnmoor {

struct Workspace;

// An instrument's recorded calibrations on the history tab, and recording new ones.

// history.dat read and indexed ahead of the first instrument shown, without a word: a file
// that cannot be read is left for that first showing to report.
void prepare_history(Workspace &w);
// Fills the history list and the three figures for the instrument with this number.
void load_history(Workspace &w, const std::string &instrument_no);
// A click on a history entry: its stored result shown.
void history_entry_clicked(Workspace &w);
// A double-click: the result opened for correction, under the edit right.
void history_entry_double_clicked(Workspace &w);
// "Item has &now been calibrated": the result box opened for a new calibration.
void now_calibrated(Workspace &w);
// "&Update Result": the new calibration recorded, or the chosen result corrected, and the
// instrument saved with today as its last calibration.
void update_result(Workspace &w);
// "&Remove Calibration": every record shown as the chosen entry removed.
void remove_calibration(Workspace &w);

} // namespace durnmoor
