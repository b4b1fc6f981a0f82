#pragma once

#include <QString>

#include <array>
#include <cstdint>

class QSettings;

namespace durnmoor {

class Autostart;

// Where the program keeps its files and options; tests hand in their own.
struct AppContext {
    QString app_path;               // the data folder: every data file lives there
    QSettings *settings = nullptr;  // application "Durnmoor", sections "Pass" and "Reminder"
    Autostart *autostart = nullptr; // the entry that starts the program with the session
};

// Rights are held as text, as the accounts file stores them; granted when the value is not 0.
bool right_granted(const QString &right);

enum class ListFilter { none, obsolete = 1, available = 2 };

// Values every part of the main window shares.
struct AppState {
    QString app_path;
    QString caption_text;
    // (1) account maintenance, (2) read access, (3) full edit/remove.
    std::array<QString, 3> user_rights{QStringLiteral("1"), QStringLiteral("0"),
                                       QStringLiteral("0")};
    bool list_by_number = true;
    ListFilter list_filter = ListFilter::none; // no value yet counts as "available"
    // Days of notice of the start-up reminder; a stored value that does not convert leaves
    // it as it was, and a value never read is 0.
    std::int16_t reminder_days = 0;

    const QString &right(int n) const { return user_rights[static_cast<std::size_t>(n - 1)]; }
    void set_right(int n, const QString &value)
    {
        user_rights[static_cast<std::size_t>(n - 1)] = value;
    }
    bool may_edit() const { return right_granted(right(3)); }
    bool may_maintain_accounts() const { return right_granted(right(1)); }
};

} // namespace durnmoor
