#pragma once

#include "sheets/csv_reader.h"
#include "sheets/import_plan.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class ImportWindow;
}

namespace durnmoor {

class InstrumentRegister;

inline constexpr char import_caption[] = "Import Instruments";
inline constexpr char import_filter[] = "CSV (*.csv);;All files (*)";
inline constexpr char import_not_read[] = "%1 could not be read.\n%2";
inline constexpr char import_not_mapped[] = "(not imported)";
inline constexpr char import_summary[] =
    "%1 instruments will be added and %2 existing ones replaced; %3 rows cannot be stored.";
inline constexpr char import_refused_row[] = "Row %1: %2";
inline constexpr char import_replace_question[] =
    "%1 existing instruments have the number of an imported one and will be replaced. "
    "Replace them?";
inline constexpr char import_done[] = "%1 instruments were added and %2 replaced.";
inline constexpr char import_done_one[] = "1 instrument was added and %1 replaced.";
// The rows the preview shows: enough to see that the columns are the right ones.
inline constexpr int import_preview_rows = 20;

// "Import Instruments": a CSV file's columns matched to the record's fields (by name, and by
// hand), its first rows as they will be stored, every row that cannot be stored and why, and
// the button that stores the rest in one rewrite of the register.
class ImportWindow : public QDialog {
    Q_OBJECT

public:
    // may_import is asked again at the moment of the import: the right may have gone since
    // the window opened.
    ImportWindow(InstrumentRegister &instruments, std::function<bool()> may_import,
                 QWidget *parent = nullptr);
    ~ImportWindow() override;

    // Reads the file; false, with the user told why, when it cannot be read.
    bool open(const QString &path);

signals:
    // The register was rewritten: what shows it is out of date.
    void imported();

private:
    void show_columns();
    void column_chosen(int column, int field);
    // Plans the import again from the columns chosen, and shows what it will do.
    void replan();
    void import_rows();

    std::unique_ptr<Ui::ImportWindow> ui;
    InstrumentRegister &instruments_;
    std::function<bool()> may_import_;
    CsvTable table_;
    ColumnMap columns_;
    ImportPlan plan_;
};

} // namespace durnmoor
