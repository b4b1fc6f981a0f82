#include "common/open_files_chooser.h"

#include <QFileDialog>

namespace durnmoor {

namespace {
OpenFilesChooser test_chooser;
} // namespace

QStringList choose_open_files(QWidget *parent, const OpenFilesRequest &request)
{
    if (test_chooser)
        return test_chooser(parent, request);
    return QFileDialog::getOpenFileNames(parent, request.caption, QString(), request.filter);
}

void set_open_files_chooser(OpenFilesChooser chooser)
{
    test_chooser = std::move(chooser);
}

} // namespace durnmoor
