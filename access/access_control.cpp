#include "access/access_control.h"

#include "access/settings_store.h"
#include "audit/record_changes.h"
#include "common/file_failure.h"
#include "common/file_rewrite.h"
#include "common/message_box.h"
#include "text/number_form.h"
#include "text/screen_text.h"

#include <pwd.h>
#include <unistd.h>

namespace durnmoor {

namespace {
constexpr char access_denied[] = "Incorrect Password Supplied. Access Denied.";
}

bool right_granted(const QString &right)
{
    return leading_number(right.toLocal8Bit().toStdString()) != 0.0;
}

AccessControl::AccessControl(const AppContext &context, QObject *parent)
    : QObject(parent), context_(context)
{
}

void AccessControl::set_right(int n, const QString &value)
{
    rights_[static_cast<std::size_t>(n - 1)] = value;
}

void AccessControl::start_rights()
{
    rights_ = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")};
    if (protection_off(context_.settings))
        set_right(3, QStringLiteral("1")); // no protection: everybody may edit
}

bool AccessControl::accounts_to_log_in() const
{
    const DataFile file = DataFile::read(accounts_file(context_.app_path));
    return !file.ok() || !file.bytes().empty();
}

bool AccessControl::log_in(QWidget *dialog, const QString &name, const QString &password)
{
    DataFile file = DataFile::read(accounts_file(context_.app_path));
    if (!report_read_failure(dialog, file, ReadPurpose::show))
        return false;
    const AccountsData accounts(file.take_bytes());
    const auto account = accounts.check_credentials(name.toLocal8Bit().toStdString(),
                                                    password.toLocal8Bit().toStdString());
    // Every attempt is recorded under the name typed; the password never is.
    FileRewrite::record_event(
        name.toStdString(),
        {account ? audit_action::login_ok : audit_action::login_fail, {name.toStdString()}, {}});
    if (!account) {
        Messages::notify(dialog, QString::fromLatin1(access_denied), QString::fromLatin1(app_title),
                         QMessageBox::Information);
        return false;
    }
    logged_in_ = account->name;
    set_right(1, screen_text(account->maintenance));
    set_right(2, screen_text(account->read));
    set_right(3, screen_text(account->edit));
    return true;
}

std::string AccessControl::trail_user() const
{
    if (!logged_in_.empty())
        return screen_text(logged_in_).toStdString();
    const passwd *account = ::getpwuid(::getuid());
    const QString login =
        account ? QString::fromLocal8Bit(account->pw_name) : qEnvironmentVariable("USER");
    return os_user_prefix + login.toStdString();
}

std::vector<std::string> AccessControl::account_names(QWidget *dialog) const
{
    DataFile file = DataFile::read(accounts_file(context_.app_path));
    report_read_failure(dialog, file, ReadPurpose::show);
    return AccountsData(file.take_bytes()).names();
}

std::optional<Account> AccessControl::find_account(QWidget *dialog, const std::string &name) const
{
    DataFile file = DataFile::read(accounts_file(context_.app_path));
    report_read_failure(dialog, file, ReadPurpose::show);
    return AccountsData(file.take_bytes()).find_account(name);
}

bool AccessControl::save_account(QWidget *dialog, const Account &account)
{
    FileRewrite rewrite(dialog, accounts_file(context_.app_path));
    if (!rewrite.read())
        return false;
    const AccountsData accounts(rewrite.file().bytes());
    const std::vector<std::string> key{screen_text(account.name).toStdString()};
    const std::vector<std::string> lines{account.name, account.password, account.maintenance,
                                         account.read, account.edit};
    bool found = false;
    for (std::size_t i = 0; i < accounts.size(); ++i)
        if (accounts.line(i, 1) == account.name) {
            found = true;
            rewrite.note(
                {audit_action::account_change, key,
                 changed_fields(account_trail_fields, lines_of_record(accounts, i), lines)});
        }
    if (!found)
        rewrite.note({audit_action::account_add, key, added_fields(account_trail_fields, lines)});
    if (!rewrite.finish(accounts.with_saved(account)))
        return false;
    emit done(QStringLiteral("Account %1 saved.").arg(screen_text(account.name)));
    return true;
}

bool AccessControl::delete_account(QWidget *dialog, const std::string &name)
{
    FileRewrite rewrite(dialog, accounts_file(context_.app_path));
    if (!rewrite.read())
        return false;
    const AccountsData accounts(rewrite.file().bytes());
    for (std::size_t i = 0; i < accounts.size(); ++i)
        if (accounts.line(i, 1) == name)
            rewrite.note({audit_action::account_remove,
                          {screen_text(name).toStdString()},
                          removed_fields(account_trail_fields, lines_of_record(accounts, i))});
    if (!rewrite.finish(accounts.without(name)))
        return false;
    emit done(QStringLiteral("Account %1 deleted.").arg(screen_text(name)));
    return true;
}

std::int16_t AccessControl::load_reminder_days()
{
    durnmoor::load_reminder_days(context_.settings, reminder_days_);
    return reminder_days_;
}

} // namespace durnmoor
