#include "report/report_printer.h"

#include "report/report_renderer.h"
#include "store/twin_file.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

#include <cstring>
#include <string_view>

namespace durnmoor {

namespace {

constexpr char document_name[] = "Durnmoor Listed Items";
constexpr char save_caption[] = "Save Listed Items as PDF";
constexpr char pdf_filter[] = "PDF files (*.pdf)";
// As the printer draws the report: text placed to a twelve-hundredth of an inch.
constexpr int pdf_resolution = 1200;

PdfFileChooser test_chooser;

QString ask_for_pdf_file(QWidget *parent)
{
    const QString suggested =
        QDir::home().filePath(QString::fromLatin1(document_name) + QStringLiteral(".pdf"));
    return QFileDialog::getSaveFileName(parent, QString::fromLatin1(save_caption), suggested,
                                        QString::fromLatin1(pdf_filter));
}

std::string_view view(const QByteArray &bytes, qsizetype from, qsizetype to)
{
    return {bytes.constData() + from, static_cast<std::size_t>(to - from)};
}

} // namespace

void set_pdf_file_chooser(PdfFileChooser chooser)
{
    test_chooser = std::move(chooser);
}

std::optional<ReportTarget> report_target(QWidget *parent)
{
    const QPrinterInfo installed = test_chooser ? QPrinterInfo() : QPrinterInfo::defaultPrinter();
    ReportTarget target;
    if (!installed.isNull()) {
        target.printer = std::make_unique<QPrinter>(installed, QPrinter::HighResolution);
        target.printer->setDocName(QString::fromLatin1(document_name));
        return target;
    }
    target.pdf_file = test_chooser ? test_chooser(parent) : ask_for_pdf_file(parent);
    if (target.pdf_file.isEmpty())
        return std::nullopt;
    return target;
}

QString write_report_pdf(const ReportLayout &layout, const QString &path)
{
    // Drawn in memory first: a writer painting straight into the file would leave it cut
    // wherever the disk ran full.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(pdf_resolution);
        writer.setTitle(QString::fromLatin1(document_name));
        writer.setCreator(QStringLiteral("Durnmoor"));
        if (!render_report(layout, writer))
            return QStringLiteral("The report could not be drawn.");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const qsizetype half = pdf.size() / 2;
    if (!write_all(file, view(pdf, 0, half)))
        return file.errorString();
    // Half the file is on its way when a test's planted failure strikes, as a full disk would.
    if (const int error = planted_fault(FileStep::write_twin, path))
        return QString::fromLocal8Bit(std::strerror(error));
    if (!write_all(file, view(pdf, half, pdf.size())) || !file.commit())
        return file.errorString();
    return {};
}

} // namespace durnmoor
