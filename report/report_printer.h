#pragma once

#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace durnmoor {

// Asks where a report goes when no printer is installed: the path of a PDF file, or an empty
// text when the user cancelled.
using PdfFileChooser = std::function<QString(QWidget *parent)>;

// Tests name the file themselves. A chooser set here also stands in for the printer: the
// report always goes to its file, so no test ever prints on paper. An empty chooser
// restores the save dialog and the printer.
void set_pdf_file_chooser(PdfFileChooser chooser);

// Where the report goes: the default printer or, with no printer installed, a PDF file the
// user names. Null when the user named none.
std::unique_ptr<QPrinter> report_printer(QWidget *parent);

} // namespace durnmoor
