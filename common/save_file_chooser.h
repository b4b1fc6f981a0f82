#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace durnmoor {

// What a save dialog asks: its caption, the path it suggests and the kinds of file offered
// ("CSV (*.csv)").
struct SaveFileRequest {
    QString caption;
    QString suggested;
    QString filter;
};

// The path the user chose to save to; empty when the dialog was cancelled. A test puts its
// own chooser in place of the dialog, and takes it away again with an empty one.
QString choose_save_file(QWidget *parent, const SaveFileRequest &request);
using SaveFileChooser = std::function<QString(QWidget *, const SaveFileRequest &)>;
void set_save_file_chooser(SaveFileChooser chooser);

} // namespace durnmoor
