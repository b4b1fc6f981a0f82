#include "common/open_file_chooser.h"

#include <QFileDialog>

namespace durnmoor {

namespace {
OpenFileChooser test_chooser;
} // namespace

QString choose_open_file(QWidget *parent, const OpenFileRequest &request)
{
    if (test_chooser)
        return test_chooser(parent, request).value(0);
    return QFileDialog::getOpenFileName(parent, request.caption, request.folder, request.filter);
}

QStringList choose_open_files(QWidget *parent, const OpenFileRequest &request)
{
    if (test_chooser)
        return test_chooser(parent, request);
    return QFileDialog::getOpenFileNames(parent, request.caption, request.folder, request.filter);
}

void set_open_file_chooser(OpenFileChooser chooser)
{
    test_chooser = std::move(chooser);
}

} // namespace durnmoor
