#include "contacts/address_book_tab.h"

#include "ui_address_book_tab.h"

namespace durnmoor {

AddressBookTab::AddressBookTab(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::AddressBookTab>())
{
    ui->setupUi(this);
}

AddressBookTab::~AddressBookTab() = default;

void AddressBookTab::set_record_buttons(bool may_edit)
{
    for (QPushButton *button : {ui->Command12, ui->Command6, ui->Command5, ui->Command8})
        button->setEnabled(may_edit);
}

} // namespace durnmoor
