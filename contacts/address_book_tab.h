#pragma once

#include "contacts/contacts_file.h"

#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QLineEdit;

namespace Ui {
class AddressBookTab;
}

namespace durnmoor {

class AccessControl;
class AddressBook;

// The entry of "Existing Contacts:" that starts a new contact.
inline constexpr char add_new_contact[] = "!!Add New Contact to List";

// "Address Book": the calibration companies and their addresses, as the address book holds
// them.
class AddressBookTab : public QWidget {
    Q_OBJECT

public:
    AddressBookTab(AddressBook &book, const AccessControl &access, QWidget *parent = nullptr);
    ~AddressBookTab() override;

    // Every box blank and read-only, "Existing Contacts:" filled again from the address book.
    void reload();
    // "Existing Contacts:": the companies' names (their bytes) and the entry that starts a
    // new contact, kept in alphabetical order.
    void show_companies(const std::vector<std::string> &names);
    void clear_companies();
    void clear_choice();

    // The twelve boxes.
    void show_contact(const contact_record &record);
    // The record as the boxes stand, each text trimmed of blanks; a box still showing what
    // was loaded gives back the loaded bytes.
    contact_record entered_contact() const;
    std::array<QString, contact_line_count> shown_fields() const;
    QString company_text() const; // "Company Name:", trimmed of blanks
    void clear_fields();
    void set_fields_writable(bool on); // and "Save Details" with them
    void focus_company();

    // "Edit Contact", "Remove Contact", "Save Details" and "Cancel" by the edit right.
    void set_record_buttons(bool may_edit);

private:
    QList<QLineEdit *> boxes() const; // in field order
    void load_companies();
    // An entry of "Existing Contacts:" picked: its text and the bytes it stands for.
    void company_picked(const QString &text, const std::string &name);
    void edit_contact();   // "Edit Contact"
    void save_contact();   // "Save Details"
    void remove_contact(); // "Remove Contact"
    void cancel_contact(); // "Cancel"

    std::unique_ptr<Ui::AddressBookTab> ui;
    AddressBook &book_;
    const AccessControl &access_;
    contact_record loaded_;
};

} // namespace durnmoor
