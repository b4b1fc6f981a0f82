#include "common/save_file_chooser.h"

#include <QFileDialog>

namespace durnmoor {

namespace {
SaveFileChooser test_chooser;
} // namespace

QString choose_save_file(QWidget *parent, const SaveFileRequest &request)
{
    if (test_chooser)
        return test_chooser(parent, request);
    return QFileDialog::getSaveFileName(parent, request.caption, request.suggested, request.filter);
}

void set_save_file_chooser(SaveFileChooser chooser)
{
    test_chooser = std::move(chooser);
}

} // namespace durnmoor
