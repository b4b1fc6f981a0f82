#include "access/accounts_file.h"

#include "text/number_form.h"

#include <QDir>

#include <array>

namespace durnmoor {

namespace {

enum AccountLine : int { name_line = 1, password_line, maintenance_line, read_line, edit_line };

std::array<std::string, account_line_count> lines_of(const Account &account)
{
    return {account.name, account.password, account.maintenance, account.read, account.edit};
}

} // namespace

DataFilePlace accounts_file(const QString &app_path)
{
    const QDir dir(app_path);
    return {dir.filePath(QString::fromLatin1(accounts_file_name)),
            dir.filePath(QString::fromLatin1(accounts_twin_name)), true};
}

std::string flag_line(bool ticked)
{
    return number_form(ticked ? 1.0 : 0.0);
}

bool flag_ticked(std::string_view line)
{
    return leading_number(line) == 1.0;
}

Account AccountsData::account(std::size_t i) const
{
    return {std::string(line(i, name_line)), std::string(line(i, password_line)),
            std::string(line(i, maintenance_line)), std::string(line(i, read_line)),
            std::string(line(i, edit_line))};
}

std::vector<std::string> AccountsData::names() const
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i < size(); ++i)
        found.emplace_back(line(i, name_line));
    return found;
}

std::optional<Account> AccountsData::find_account(std::string_view name) const
{
    const std::size_t i = find(name_line, name);
    if (i == npos)
        return std::nullopt;
    return account(i);
}

std::optional<Account> AccountsData::check_credentials(std::string_view name,
                                                       std::string_view password) const
{
    for (std::size_t i = 0; i < size(); ++i)
        if (line(i, name_line) == name && line(i, password_line) == password)
            return account(i);
    return std::nullopt;
}

RecordRewrite AccountsData::with_saved(const Account &account) const
{
    RecordRewrite rewrite(*this);
    bool found = false;
    for (std::size_t i = 0; i < size(); ++i) {
        if (line(i, name_line) != account.name) {
            rewrite.copy(i);
            continue;
        }
        found = true;
        rewrite.write(lines_of(account));
    }
    if (!found)
        rewrite.write(lines_of(account));
    return rewrite;
}

RecordRewrite AccountsData::without(std::string_view name) const
{
    RecordRewrite rewrite(*this);
    for (std::size_t i = 0; i < size(); ++i)
        if (line(i, name_line) != name)
            rewrite.copy(i);
    return rewrite;
}

} // namespace durnmoor
