#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace durnmoor {

struct ReportLayout;

// Asks where a report goes when no printer is installed: the path of a PDF file, or an empty
// text when the user cancelled.
using PdfFileChooser = std::function<QString(QWidget *parent)>;

// Tests name the file themselves. A chooser set here also stands in for the printer: the
// report always goes to its file, so no test ever prints on paper. An empty chooser
// restores the save dialog and the printer.
void set_pdf_file_chooser(PdfFileChooser chooser);

// Where the report goes: the default printer or, with no printer installed, a PDF file the
// user names.
struct ReportTarget {
    std::unique_ptr<QPrinter> printer; // the default printer, when there is one
    QString pdf_file;                  // otherwise the file named
};

// Nothing when no printer is installed and the user named no file.
std::optional<ReportTarget> report_target(QWidget *parent);

// The report as a PDF file, put in place whole or not at all: it is written under a
// temporary name beside path, flushed to the disk and only then renamed over path, so a file
// already there survives any failure. Returns why the file could not be written, empty when
// it was. Tests make the write fail half way with planted_fault(FileStep::write_twin, name of
// the PDF).
QString write_report_pdf(const ReportLayout &layout, const QString &path);

} // namespace durnmoor
