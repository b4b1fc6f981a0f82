#pragma once

#include <QString>

class QApplication;

namespace durnmoor {

// Runs the program from its start to its end; returns the process exit code.
int run_program(QApplication &app);

// The same over the given data folder. A copy that finds another one working on the folder
// tells the user which folder is in use and ends at once with 0, with no main window.
int run_program(QApplication &app, const QString &app_path);

} // namespace durnmoor
