#include "sheets/listed_export.h"

#include "certificates/certificate_store.h"

#include "calibration/history_file.h"
#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "common/message_box.h"
#include "common/save_file_chooser.h"
#include "register/instrument_register.h"
#include "sheets/sheet_files.h"
#include "store/clock.h"

#include <QDir>
#include <QFileInfo>

namespace durnmoor {

void export_listed_items(QWidget *window, InstrumentRegister &instruments,
                         const QString &data_folder)
{
    QString path =
        choose_save_file(window, {QString::fromLatin1(export_caption),
                                  QDir::home().filePath(QString::fromLatin1(export_suggested)),
                                  QString::fromLatin1(export_filter)});
    if (path.isEmpty())
        return;
    const bool csv =
        QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1String(".xlsx");

    ListedSheets sheets;
    {
        const BusyCursor busy;
        DataFile products_read = instruments.read();
        const auto products = instruments.take(products_read);
        if (!report_read_failure(window, products_read, ReadPurpose::show))
            return;
        DataFile history_read = DataFile::read(history_file(data_folder));
        if (!report_read_failure(window, history_read, ReadPurpose::show))
            return;
        const HistoryData history(history_read.take_bytes());
        const int key_line = instruments.listed_by_number() ? instrument_no : description;
        sheets = listed_sheets(*products, instruments.listed_entries(), key_line, history, today(),
                               [&data_folder](const std::string &number) {
                                   return certificate_count(data_folder, number);
                               });
    }
    const ExportOutcome outcome =
        csv ? write_csv_files(sheets, path) : write_workbook(sheets, path);
    const QString title = QString::fromLatin1(app_title);
    if (!outcome.ok()) {
        const QString text =
            outcome.written.isEmpty()
                ? QString::fromLatin1(export_failed).arg(outcome.failed_file, outcome.reason)
                : QString::fromLatin1(export_half_done)
                      .arg(outcome.failed_file, outcome.reason, outcome.written.front());
        Messages::notify(window, text, title, QMessageBox::Warning);
        return;
    }
    Messages::notify(window,
                     QString::fromLatin1(export_done)
                         .arg(sheets.instruments.rows.size())
                         .arg(sheets.history.rows.size())
                         .arg(outcome.written.join(QLatin1Char('\n'))),
                     title, QMessageBox::Information);
}

} // namespace durnmoor
