#pragma once

#include <QString>

class QSettings;

namespace durnmoor {

class Autostart;

// Where the program keeps its files and options; tests hand in their own.
struct AppContext {
    QString app_path;               // the data folder: every data file lives there
    QSettings *settings = nullptr;  // application "Durnmoor", sections "Pass" and "Reminder"
    Autostart *autostart = nullptr; // the entry that starts the program with the session
};

} // namespace durnmoor
