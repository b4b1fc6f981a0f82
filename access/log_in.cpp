#include "access/log_in.h"

#include "access/accounts_file.h"
#include "common/file_failure.h"
#include "common/message_box.h"
#include "app/workspace.h"

#include <QAction>

namespace durnmoor {

namespace {

constexpr char access_denied[] = "Incorrect Password Supplied. Access Denied.";
std::optional<std::chrono::milliseconds> first_wait;

} // namespace

LoginThrottle new_login_throttle()
{
    if (first_wait)
        return LoginThrottle(*first_wait, *first_wait * 30);
    return LoginThrottle();
}

void set_login_waits(std::optional<std::chrono::milliseconds> first)
{
    first_wait = first;
}

bool accounts_to_log_in(const Workspace &w)
{
    const DataFile file = DataFile::read(accounts_file(w.state.app_path));
    return !file.ok() || !file.bytes().empty();
}

bool attempt_access(Workspace &w, QWidget *dialog, const QString &name, const QString &password)
{
    DataFile file = DataFile::read(accounts_file(w.state.app_path));
    if (!report_read_failure(dialog, file, ReadPurpose::show))
        return false;
    const AccountsData accounts(file.take_bytes());
    const auto account = accounts.check_credentials(name.toLocal8Bit().toStdString(),
                                                    password.toLocal8Bit().toStdString());
    if (!account) {
        Messages::notify(dialog, QString::fromLatin1(access_denied), QString::fromLatin1(app_title),
                         QMessageBox::Information);
        return false;
    }
    const auto text = [](const std::string &line) { return QString::fromLocal8Bit(line); };
    w.state.set_right(1, text(account->maintenance));
    w.state.set_right(2, text(account->read));
    w.state.set_right(3, text(account->edit));
    // Only the exact text "0" hides the item; the account dialog writes " 0 ", which leaves
    // it to enableform to disable.
    if (w.state.right(1) == QLatin1String("0")) {
        w.account_maintenance->setEnabled(false);
        w.account_maintenance->setVisible(false);
    }
    return true;
}

} // namespace durnmoor
