#include "report/print_dialog.h"

#include "certificates/certificate_store.h"
#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "common/message_box.h"
#include "common/shell.h"
#include "common/title_width.h"
#include "register/instrument_register.h"
#include "report/report_printer.h"
#include "report/report_renderer.h"
#include "store/clock.h"
#include "ui_print_dialog.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPrinter>

namespace durnmoor {

namespace {

constexpr char collating_caption[] = "Collating Data....Preparing to Print...";
constexpr char pdf_not_written[] = "%1 could not be written.\n%2\nNothing has been printed.";

} // namespace

PrintDialog::PrintDialog(QWidget *window, InstrumentRegister &instruments)
    : QWidget(nullptr, Qt::Dialog), ui(std::make_unique<Ui::printit>()), instruments_(instruments)
{
    // Not a child of the main window: it is disabled while this is open, and so would its
    // children be.
    ui->setupUi(this);
    fit_title(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(window->windowIcon());
    keep_on_top(this, true);
    connect(ui->Command1, &QPushButton::clicked, this, &PrintDialog::print_listed_items);
    // The main window going away takes the dialog with it, whose work is on that window.
    connect(window, &QObject::destroyed, this, [this] { delete this; });
}

PrintDialog::~PrintDialog() = default;

ReportColumns PrintDialog::columns() const
{
    ReportColumns columns;
    const std::pair<bool ReportColumns::*, QCheckBox *> boxes[] = {
        {&ReportColumns::description, ui->Check2},  {&ReportColumns::location, ui->Check3},
        {&ReportColumns::company, ui->Check4},      {&ReportColumns::mode, ui->Check5},
        {&ReportColumns::availability, ui->Check6}, {&ReportColumns::due_date, ui->Check7}};
    for (const auto &[column, box] : boxes)
        columns.*column = box->isChecked();
    return columns;
}

void PrintDialog::closeEvent(QCloseEvent *event)
{
    // The topmost flag goes with the window, which is discarded now: taking it off first
    // would only show the window again for a moment.
    const BusyCursor busy;
    QWidget::closeEvent(event);
}

void PrintDialog::print_listed_items()
{
    // The target is settled first: a save dialog for the PDF file needs this one enabled.
    const std::optional<ReportTarget> target = report_target(this);
    if (!target) {
        close();
        return;
    }
    const QString caption = windowTitle();
    QString not_written;
    {
        const BusyCursor busy;
        const int key_line = instruments_.listed_by_number() ? instrument_no : description;
        setWindowTitle(QString::fromLatin1(collating_caption));
        setEnabled(false);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        DataFile file = instruments_.read();
        const std::shared_ptr<const ProductsData> data = instruments_.take(file);
        if (file.ok()) {
            const ReportLayout layout =
                report_layout(*data, instruments_.listed_entries(), key_line, columns(), today(),
                              [folder = instruments_.data_folder()](const std::string &number) {
                                  return certificate_count(folder, number);
                              });
            if (target->printer)
                render_report(layout, *target->printer);
            else
                not_written = write_report_pdf(layout, target->pdf_file);
        }
        setEnabled(true); // a message on a disabled window could not be answered
        report_read_failure(this, file, ReadPurpose::show);
    }
    if (!not_written.isEmpty()) {
        // Nothing was printed: the dialog stays, as it was, for another file to be named.
        setWindowTitle(caption);
        Messages::notify(this,
                         QString::fromLatin1(pdf_not_written)
                             .arg(QFileInfo(target->pdf_file).absoluteFilePath(), not_written),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }
    close();
}

PrintDialog *open_print_dialog(QWidget *window, InstrumentRegister &instruments)
{
    auto *dialog = new PrintDialog(window, instruments);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

} // namespace durnmoor
