#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class AddressBookTab;
}

namespace durnmoor {

// "Address Book": the calibration companies and their addresses.
class AddressBookTab : public QWidget {
    Q_OBJECT

public:
    explicit AddressBookTab(QWidget *parent = nullptr);
    ~AddressBookTab() override;

    // "Edit Contact", "Remove Contact", "Save Details" and "Cancel" by the edit right.
    void set_record_buttons(bool may_edit);

private:
    std::unique_ptr<Ui::AddressBookTab> ui;
};

} // namespace durnmoor
