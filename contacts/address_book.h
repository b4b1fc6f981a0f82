#pragma once

#include <QString>

#include <string>

namespace durnmoor {

struct Workspace;

// The address book on its tab, and the completion of company names from it.

// Refills "Existing Contacts:" from contacts.dat.
void load_contacts(Workspace &w);
// Empties the twelve boxes and "Existing Contacts:".
void clear_contacts(Workspace &w);
// The twelve boxes read-only and "Save Details" off, or the other way round.
void disable_contacts(Workspace &w);
void enable_contacts(Workspace &w);

// An entry of "Existing Contacts:" picked.
void contact_picked(Workspace &w, const QString &text, const std::string &name);
void edit_contact(Workspace &w);   // "Edit Contact"
void save_contact(Workspace &w);   // "Save Details"
void remove_contact(Workspace &w); // "Remove Contact"
void cancel_contact(Workspace &w); // "Cancel"
void copy_contact(Workspace &w);   // "Copy Details to Clipboard"

// Enter in "Calibration Company:": a partly typed name completed from the address book.
void complete_company(Workspace &w);

} // namespace durnmoor
