#pragma once

#include "report/report_layout.h"

#include <QWidget>

#include <memory>

namespace Ui {
class printit;
}

namespace durnmoor {

struct Workspace;

// printit: the columns of the listed-items report, and the button that prints it. It keeps
// the main window disabled while it is open and enables it again when it closes.
class PrintDialog : public QWidget {
    Q_OBJECT

public:
    explicit PrintDialog(Workspace &w);
    ~PrintDialog() override;

    // The columns by the ticked boxes.
    ReportColumns columns() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void print_listed_items();

    std::unique_ptr<Ui::printit> ui;
    Workspace &w_;
};

// "Print Listed Items" in the File menu: the main window disabled and the dialog opened
// afresh, every box ticked.
void open_print_dialog(Workspace &w);

} // namespace durnmoor
