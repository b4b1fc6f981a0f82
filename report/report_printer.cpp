#include "report/report_printer.h"

#include <QDir>
#include <QFileDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace durnmoor {

namespace {

constexpr char document_name[] = "Durnmoor Listed Items";
constexpr char save_caption[] = "Save Listed Items as PDF";
constexpr char pdf_filter[] = "PDF files (*.pdf)";

PdfFileChooser test_chooser;

QString ask_for_pdf_file(QWidget *parent)
{
    const QString suggested =
        QDir::home().filePath(QString::fromLatin1(document_name) + QStringLiteral(".pdf"));
    return QFileDialog::getSaveFileName(parent, QString::fromLatin1(save_caption), suggested,
                                        QString::fromLatin1(pdf_filter));
}

} // namespace

void set_pdf_file_chooser(PdfFileChooser chooser)
{
    test_chooser = std::move(chooser);
}

std::unique_ptr<QPrinter> report_printer(QWidget *parent)
{
    const QPrinterInfo installed = test_chooser ? QPrinterInfo() : QPrinterInfo::defaultPrinter();
    std::unique_ptr<QPrinter> printer;
    if (!installed.isNull()) {
        printer = std::make_unique<QPrinter>(installed, QPrinter::HighResolution);
    } else {
        const QString path = test_chooser ? test_chooser(parent) : ask_for_pdf_file(parent);
        if (path.isEmpty())
            return nullptr;
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
    }
    printer->setDocName(QString::fromLatin1(document_name));
    return printer;
}

} // namespace durnmoor
