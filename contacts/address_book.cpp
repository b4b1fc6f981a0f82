#include "contacts/address_book.h"

#include "audit/record_changes.h"
#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "common/file_rewrite.h"
#include "common/message_box.h"
#include "common/save_by_key.h"
#include "text/screen_text.h"

#include <QScopeGuard>

namespace durnmoor {

namespace {
constexpr char remove_title[] = "Calibration Contact Record Removal Alert";
}

AddressBook::AddressBook(const QString &data_folder, QWidget *window, QObject *parent)
    : QObject(parent), data_folder_(data_folder), window_(window)
{
}

ContactsData AddressBook::read_for_showing()
{
    DataFile file = DataFile::read(contacts_file(data_folder_));
    report_read_failure(window_, file, ReadPurpose::show);
    return ContactsData(file.take_bytes());
}

std::vector<std::string> AddressBook::companies()
{
    const ContactsData data = read_for_showing();
    std::vector<std::string> names;
    names.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        names.emplace_back(data.line(i, company_name));
    return names;
}

std::optional<contact_record> AddressBook::find(const std::string &company)
{
    const ContactsData data = read_for_showing();
    const std::size_t found = data.find(company_name, company);
    if (found == ContactsData::npos)
        return std::nullopt;
    return data.record(found);
}

AddressBook::Saved AddressBook::save(const contact_record &entered)
{
    emit entry_close_asked();
    const auto reopen = qScopeGuard([this] { emit entry_open_asked(); });
    FileRewrite contacts(window_, contacts_file(data_folder_));
    if (!contacts.read())
        return Saved::failed;
    const ContactsData data(contacts.file().bytes());
    RecordRewrite rewrite(data);
    const auto saved = save_by_key(window_, rewrite, data, company_name, entered[company_name],
                                   entered, [&entered](std::size_t) { return entered; });
    if (!saved)
        return Saved::declined;
    const std::vector<std::string> key{screen_text(entered[company_name]).toStdString()};
    for (const std::size_t i : saved->replaced)
        contacts.note(
            {audit_action::contact_change, key,
             changed_fields(contact_trail_fields, lines_of_record(data, i), entered.lines)});
    if (saved->replaced.empty())
        contacts.note(
            {audit_action::contact_add, key, added_fields(contact_trail_fields, entered.lines)});
    // A failed write keeps what was typed, so the user can try again.
    if (!contacts.finish(rewrite))
        return Saved::failed;
    emit done(QStringLiteral("Contact %1 saved.").arg(screen_text(entered[company_name])));
    return Saved::written;
}

AddressBook::Removed AddressBook::remove(const std::string &company, const QString &shown)
{
    const QString question =
        QStringLiteral("Are you sure you want to remove this Contact (%1) ?").arg(shown.toUpper());
    if (!Messages::confirm(window_, question, QString::fromLatin1(remove_title),
                           QMessageBox::Information))
        return Removed::declined;
    const BusyCursor busy;
    FileRewrite contacts(window_, contacts_file(data_folder_));
    if (!contacts.read())
        return Removed::unread;
    const ContactsData data(contacts.file().bytes());
    RecordRewrite rewrite(data);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data.line(i, company_name) != company)
            rewrite.copy(i);
        else
            contacts.note({audit_action::contact_remove,
                           {screen_text(company).toStdString()},
                           removed_fields(contact_trail_fields, lines_of_record(data, i))});
    }
    if (!contacts.finish(rewrite))
        return Removed::failed;
    emit done(QStringLiteral("Contact %1 removed.").arg(screen_text(company)));
    return Removed::removed;
}

std::optional<std::string> AddressBook::completed(const QString &typed)
{
    return read_for_showing().complete_company(typed);
}

} // namespace durnmoor
