#pragma once

class QApplication;

namespace durnmoor {

// Runs the program from its start to its end; returns the process exit code.
int run_program(QApplication &app);

} // namespace durnmoor
