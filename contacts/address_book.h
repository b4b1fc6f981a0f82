#pragma once

#include "contacts/contacts_file.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace durnmoor {

// The address book: contacts.dat and every operation on it, and the completion of company
// names from it. A save closes the instrument entry while it runs, as the entry's own saves
// do: it asks for that by its signals.
class AddressBook : public QObject {
    Q_OBJECT

public:
    AddressBook(const QString &data_folder, QWidget *window, QObject *parent = nullptr);

    // The companies' names as stored, in file order; none when the file cannot be read (told).
    std::vector<std::string> companies();
    // The first contact with this company name; nullopt when there is none.
    std::optional<contact_record> find(const std::string &company);

    enum class Saved { written, declined, failed };
    // Every contact of the company replaced in its place, each after the overwrite question,
    // or the contact appended.
    Saved save(const contact_record &entered);

    enum class Removed { removed, declined, unread, failed };
    // After the question naming shown: every contact of the company gone.
    Removed remove(const std::string &company, const QString &shown);

    // A partly typed company name completed from the address book.
    std::optional<std::string> completed(const QString &typed);

signals:
    // What a completed change did, in a few words for the status bar.
    void done(const QString &news);
    void entry_close_asked();
    void entry_open_asked();

private:
    ContactsData read_for_showing();

    QString data_folder_;
    QWidget *window_;
};

} // namespace durnmoor
