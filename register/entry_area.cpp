// Switching the entry area between its closed, open and entering states.
#include "app/main_window.h"

#include "ui_address_book_tab.h"
#include "ui_details_tab.h"
#include "ui_history_tab.h"
#include "ui_listing_tab.h"
#include "ui_main_window.h"

namespace durnmoor {

namespace {

QList<QWidget *> entry_controls(Ui::DetailsTab &d, Ui::HistoryTab &h)
{
    return {d.Text1,   d.Text2,   d.Text3,  d.Text4,  d.Text5,  d.Text6,   d.Text19,  d.Text20,
            d.Text23,  d.Text24,  d.Text25, d.Text21, h.Text22, d.Option1, d.Option2, d.Option7,
            d.Option3, d.Option4, d.Combo1, d.Combo2, d.Combo3, d.Combo4,  d.Combo5,  d.Combo6};
}

} // namespace

void MainWindow::enableform()
{
    for (QWidget *control : entry_controls(*details, *history))
        control->setEnabled(true);
    details->Command4->setEnabled(false); // only Add and Edit make a record savable

    const bool may_edit = state_.may_edit();
    for (QWidget *button :
         QList<QWidget *>{listing->Command1, details->Command2, listing->Command3,
                          listing->Command13, details->Command14, address_book->Command12,
                          address_book->Command6, address_book->Command5, address_book->Command8})
        button->setEnabled(may_edit);
    if (!may_edit) {
        history->Command9->setEnabled(false);
        history->Command10->setEnabled(false);
        history->Command11->setEnabled(false);
    }
    ui->passwordproena->setEnabled(state_.may_maintain_accounts());
}

void MainWindow::disableform()
{
    for (QWidget *control : entry_controls(*details, *history))
        control->setEnabled(false);
    details->Command4->setEnabled(false);
    history->Command11->setEnabled(false);
    history->Text26->setReadOnly(true);
}

void MainWindow::clean()
{
    for (QLineEdit *box :
         {details->Text1, details->Text2, details->Text3, details->Text4, details->Text5,
          details->Text19, details->Text20, details->Text21, history->Text22, details->Text23,
          details->Text24, details->Text25, history->Text27, history->Text28, history->Text29})
        box->clear();
    history->Text26->clear();
    details->Text6->setText(QStringLiteral("12"));
    history->List2->clear();
    details->Option2->setChecked(true);
    details->Option3->setChecked(true);
}

} // namespace durnmoor
