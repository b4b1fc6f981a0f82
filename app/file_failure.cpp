#include "app/file_failure.h"

#include "app/message_box.h"

namespace durnmoor {

bool report_write_failure(QWidget *parent, const WriteOutcome &outcome)
{
    if (outcome.ok)
        return true;
    Messages::notify(parent,
                     QStringLiteral("The file %1 could not be written: %2\n"
                                    "Nothing was changed; the data file is as it was before.")
                         .arg(outcome.file, outcome.reason),
                     QString::fromLatin1(app_title), QMessageBox::Warning);
    return false;
}

} // namespace durnmoor
