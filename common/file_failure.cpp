#include "common/file_failure.h"

#include "common/message_box.h"

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

bool report_read_failure(QWidget *parent, const DataFile &file, ReadPurpose purpose)
{
    if (file.ok())
        return true;
    const QString text =
        purpose == ReadPurpose::show
            ? QStringLiteral("%1 could not be read.\n%1: %2\nNothing of it is shown, and it will "
                             "not be changed until it can be read again.")
            : QStringLiteral("%1 could not be read, so it has not been changed.\n%1: %2");
    Messages::notify(parent, text.arg(file.file_name(), file.problem()),
                     QString::fromLatin1(app_title), QMessageBox::Warning);
    return false;
}

} // namespace durnmoor
