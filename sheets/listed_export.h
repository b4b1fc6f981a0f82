#pragma once

#include <QString>

class QWidget;

namespace durnmoor {

class InstrumentRegister;

inline constexpr char export_caption[] = "Export Listed Items";
inline constexpr char export_filter[] = "Excel workbook (*.xlsx);;CSV (*.csv)";
inline constexpr char export_suggested[] = "instruments.xlsx";
inline constexpr char export_done[] = "%1 instruments and %2 calibrations were exported to:\n%3";
inline constexpr char export_failed[] = "%1 could not be written.\n%2\nNothing has been exported.";
inline constexpr char export_half_done[] =
    "%1 could not be written.\n%2\nThe instruments have been exported to %3; their "
    "calibrations have not.";

// File › Export Listed Items…: the instruments the list shows, in its order, with their
// calibrations, to a workbook or (for a name ending in .csv) to two CSV files. What was
// written, or which file was not and why, is told.
void export_listed_items(QWidget *window, InstrumentRegister &instruments,
                         const QString &data_folder);

} // namespace durnmoor
