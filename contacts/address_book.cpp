#include "contacts/address_book.h"

#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "common/message_box.h"
#include "app/workspace.h"
#include "contacts/address_book_tab.h"
#include "contacts/contacts_file.h"
#include "register/details_tab.h"
#include "register/entry_area.h"

#include <QApplication>
#include <QClipboard>

namespace durnmoor {

namespace {

constexpr char nothing_chosen[] = "You cannot remove a contact, without selecting one first.";
constexpr char no_company_name[] = "No Company Name specified.";
constexpr char overwrite_question[] = "This record already exists, overwrite ?";
constexpr char overwrite_title[] = "Durnmoor Duplicate Record Alert";
constexpr char remove_title[] = "Calibration Contact Record Removal Alert";

void tell(Workspace &w, const char *text, QMessageBox::Icon icon)
{
    Messages::notify(w.window, QString::fromLatin1(text), QString::fromLatin1(app_title), icon);
}

} // namespace

void load_contacts(Workspace &w)
{
    DataFile file = DataFile::read(contacts_file(w.state.app_path));
    report_read_failure(w.window, file, ReadPurpose::show);
    const ContactsData data(file.take_bytes());
    std::vector<std::string> names;
    names.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        names.emplace_back(data.line(i, company_name));
    w.address_book->show_companies(names);
}

void clear_contacts(Workspace &w)
{
    w.address_book->clear_fields();
    w.address_book->clear_companies();
}

void disable_contacts(Workspace &w)
{
    w.address_book->set_fields_writable(false);
}

void enable_contacts(Workspace &w)
{
    w.address_book->set_fields_writable(true);
}

void contact_picked(Workspace &w, const QString &text, const std::string &name)
{
    // The entry is known by its text: even a company of that name starts a new contact.
    if (text == QLatin1String(add_new_contact)) {
        if (!w.state.may_edit())
            return;
        w.address_book->clear_fields();
        w.address_book->clear_choice();
        enable_contacts(w);
        w.address_book->focus_company();
        return;
    }
    const BusyCursor busy;
    DataFile file = DataFile::read(contacts_file(w.state.app_path));
    report_read_failure(w.window, file, ReadPurpose::show);
    const ContactsData data(file.take_bytes());
    const std::size_t found = data.find(company_name, name);
    if (found != ContactsData::npos)
        w.address_book->show_contact(data.record(found));
    disable_contacts(w);
}

void edit_contact(Workspace &w)
{
    if (w.address_book->company_text().isEmpty()) {
        tell(w, nothing_chosen, QMessageBox::Information);
        return;
    }
    enable_contacts(w);
}

void save_contact(Workspace &w)
{
    if (w.address_book->company_text().isEmpty()) {
        tell(w, no_company_name, QMessageBox::Critical);
        return;
    }
    const BusyCursor busy;
    const contact_record entered = w.address_book->entered_contact();
    const std::string &name = entered[company_name];
    disableform(w);
    DataFile file = DataFile::read_for_rewrite(contacts_file(w.state.app_path));
    if (!report_read_failure(w.window, file, ReadPurpose::change)) {
        enableform(w);
        return;
    }
    const ContactsData data(file.take_bytes());
    RecordRewrite rewrite(data);
    bool found = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data.line(i, company_name) != name) {
            rewrite.copy(i);
            continue;
        }
        found = true;
        // No abandons the whole save: nothing has been written yet.
        if (!Messages::confirm(w.window, QString::fromLatin1(overwrite_question),
                               QString::fromLatin1(overwrite_title), QMessageBox::Information)) {
            load_contacts(w);
            enableform(w);
            return;
        }
        rewrite.write(entered);
    }
    if (!found)
        rewrite.write(entered);
    // A failed write keeps what was typed, so the user can try again.
    if (report_write_failure(w.window, replace_with(file, rewrite))) {
        clear_contacts(w);
        load_contacts(w);
    }
    enableform(w);
}

void remove_contact(Workspace &w)
{
    const QString shown = w.address_book->company_text();
    if (shown.isEmpty()) {
        tell(w, nothing_chosen, QMessageBox::Information);
        return;
    }
    const std::string name = w.address_book->entered_contact()[company_name];
    const QString question =
        QStringLiteral("Are you sure you want to remove this Contact (%1) ?").arg(shown.toUpper());
    if (!Messages::confirm(w.window, question, QString::fromLatin1(remove_title),
                           QMessageBox::Information)) {
        load_contacts(w);
        disable_contacts(w);
        return;
    }
    const BusyCursor busy;
    DataFile file = DataFile::read_for_rewrite(contacts_file(w.state.app_path));
    if (!report_read_failure(w.window, file, ReadPurpose::change))
        return;
    const ContactsData data(file.take_bytes());
    RecordRewrite rewrite(data);
    for (std::size_t i = 0; i < data.size(); ++i)
        if (data.line(i, company_name) != name)
            rewrite.copy(i);
    if (report_write_failure(w.window, replace_with(file, rewrite)))
        clear_contacts(w);
    load_contacts(w);
    disable_contacts(w);
}

void cancel_contact(Workspace &w)
{
    const BusyCursor busy;
    clear_contacts(w);
    load_contacts(w);
}

void copy_contact(Workspace &w)
{
    const BusyCursor busy;
    QApplication::clipboard()->setText(clipboard_text(w.address_book->shown_fields()));
}

void complete_company(Workspace &w)
{
    DataFile file = DataFile::read(contacts_file(w.state.app_path));
    report_read_failure(w.window, file, ReadPurpose::show);
    const ContactsData data(file.take_bytes());
    if (const auto name = data.complete_company(w.details->company_text()))
        w.details->show_company(*name);
}

} // namespace durnmoor
