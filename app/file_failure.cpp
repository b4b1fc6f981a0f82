#include "app/file_failure.h"

#include "app/message_box.h"

namespace durnmoor {

bool report_write_failure(QWidget *parent, const WriteOutcome &outcome)
{
    if (outcome.ok)
        return true;
    Messages::notify(parent,
                     QStringLiteral("%1 could not be saved.\n%2: %3\n%1 has been left as it was.")
                         .arg(outcome.data_file, outcome.file, outcome.reason),
                     QString::fromLatin1(app_title), QMessageBox::Warning);
    return false;
}

} // namespace durnmoor
