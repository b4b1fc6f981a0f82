#pragma once

#include "report/report_layout.h"

#include <QWidget>

#include <memory>

namespace Ui {
class printit;
}

namespace durnmoor {

class InstrumentRegister;

// printit: the columns of the listed-items report, and the button that prints it.
class PrintDialog : public QWidget {
    Q_OBJECT

public:
    PrintDialog(QWidget *window, InstrumentRegister &instruments);
    ~PrintDialog() override;

    // The columns by the ticked boxes.
    ReportColumns columns() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void print_listed_items();

    std::unique_ptr<Ui::printit> ui;
    InstrumentRegister &instruments_;
};

// "Print Listed Items" in the File menu: the dialog opened afresh, every box ticked. The main
// window holds itself disabled while it is open.
PrintDialog *open_print_dialog(QWidget *window, InstrumentRegister &instruments);

} // namespace durnmoor
