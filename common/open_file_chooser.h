#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace durnmoor {

// What an open dialog asks: its caption, the folder it starts in and the kinds of file
// offered ("CSV (*.csv)").
struct OpenFileRequest {
    QString caption;
    QString folder;
    QString filter;
};

// The path of the file the user chose to open; empty when the dialog was cancelled. A test
// puts its own chooser in place of the dialog, and takes it away again with an empty one.
QString choose_open_file(QWidget *parent, const OpenFileRequest &request);
using OpenFileChooser = std::function<QString(QWidget *, const OpenFileRequest &)>;
void set_open_file_chooser(OpenFileChooser chooser);

} // namespace durnmoor
