#pragma once

#include "access/accounts_file.h"
#include "common/app_context.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace durnmoor {

// Rights are held as text, as the accounts file stores them; granted when the value is not 0.
bool right_granted(const QString &right);

// Access: the rights in force, the log-in, the accounts of security.dat and the options
// every part reads. Each window asks it what the user may do.
class AccessControl : public QObject {
    Q_OBJECT

signals:
    // What a completed change did, in a few words for the status bar.
    void done(const QString &news);

public:
    explicit AccessControl(const AppContext &context, QObject *parent = nullptr);

    const AppContext &context() const { return context_; }

    // (1) account maintenance, (2) read access, (3) full edit/remove.
    const QString &right(int n) const { return rights_[static_cast<std::size_t>(n - 1)]; }
    bool may_edit() const { return right_granted(right(3)); }
    bool may_maintain_accounts() const { return right_granted(right(1)); }
    void set_right(int n, const QString &value);
    // The rights a session starts with: editing for everybody when protection is off.
    void start_rights();

    // Whether anyone can log in: the accounts file holds something (or cannot be read, in
    // which case the window stays locked rather than open to all).
    bool accounts_to_log_in() const;
    // "Attempt Access": the name and password exactly as typed against the accounts. A match
    // puts the account's rights in force; true then. No match says so, over the dialog.
    bool log_in(QWidget *dialog, const QString &name, const QString &password);
    // Who the audit trail names: the account logged in, else the system's login name.
    std::string trail_user() const;

    // The accounts' names as stored, for the account dialog; a file that cannot be read is
    // told over dialog and lists none.
    std::vector<std::string> account_names(QWidget *dialog) const;
    std::optional<Account> find_account(QWidget *dialog, const std::string &name) const;
    // Every account of that name replaced in its place, or the account appended; true when
    // written.
    bool save_account(QWidget *dialog, const Account &account);
    // Every account of that name gone; true when written.
    bool delete_account(QWidget *dialog, const std::string &name);

    // Days of notice of the start-up reminder, read from the options where they convert; a
    // stored value that does not leaves the days as they were, and days never read are 0.
    std::int16_t load_reminder_days();

private:
    AppContext context_;
    std::string logged_in_; // the account's name as stored, once someone has logged in
    std::array<QString, 3> rights_{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")};
    std::int16_t reminder_days_ = 0;
};

} // namespace durnmoor
