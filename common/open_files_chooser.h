#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace durnmoor {

// What an open dialog asks: its caption and the kinds of file offered, the first one chosen
// at first ("Certificates (*.pdf *.png);;All files (*)").
struct OpenFilesRequest {
    QString caption;
    QString filter;
};

// The files the user chose to open; empty when the dialog was cancelled. A test puts its own
// chooser in place of the dialog, and takes it away again with an empty one.
QStringList choose_open_files(QWidget *parent, const OpenFilesRequest &request);
using OpenFilesChooser = std::function<QStringList(QWidget *, const OpenFilesRequest &)>;
void set_open_files_chooser(OpenFilesChooser chooser);

} // namespace durnmoor
