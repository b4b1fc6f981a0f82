#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace durnmoor {

// What an open dialog asks: its caption, the folder it starts in (empty: where it last was)
// and the kinds of file offered, the first one chosen at first ("CSV (*.csv)").
struct OpenFileRequest {
    QString caption;
    QString folder;
    QString filter;
};

// The file, or the files, the user chose to open; empty when the dialog was cancelled.
QString choose_open_file(QWidget *parent, const OpenFileRequest &request);
QStringList choose_open_files(QWidget *parent, const OpenFileRequest &request);

// A test puts its own chooser in place of both dialogs (a choice of one file takes the first
// path it gives), and takes it away again with an empty one.
using OpenFileChooser = std::function<QStringList(QWidget *, const OpenFileRequest &)>;
void set_open_file_chooser(OpenFileChooser chooser);

} // namespace durnmoor
