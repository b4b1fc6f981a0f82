#pragma once

#include "store/data_file.h"
#include "store/record_file.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

inline constexpr char accounts_file_name[] = "security.dat";
inline constexpr char accounts_twin_name[] = "security.dat2";
inline constexpr int account_line_count = 5;

// security.dat and security.dat2 in the data folder, created readable by the owner only:
// the file format keeps passwords in clear text.
DataFilePlace accounts_file(const QString &app_path);

// One account as stored: every line's bytes as read. The three rights are kept as the text
// of their lines, since the rights in force are that text.
struct Account {
    std::string name;
    std::string password;
    std::string maintenance; // "Full Account Maintenance Authorisation"
    std::string read;        // "Read Access"
    std::string edit;        // "User has Full Edit/Remove Capabilities"

    friend bool operator==(const Account &, const Account &) = default;
};

// How a tick box is written: " 1 " or " 0 ".
std::string flag_line(bool ticked);
// Whether the account dialog shows a flag ticked: its value is exactly 1.
bool flag_ticked(std::string_view line);

// The fields of an account as the account dialog names them, in file order.
inline constexpr const char *account_field_names[] = {
    "Username", "Password", "Full Account Maintenance Authorisation", "Read Access",
    "User has Full Edit/Remove Capabilities"};

// The accounts of security.dat: 5-line records in the order they were first saved.
class AccountsData : public RecordFile {
public:
    explicit AccountsData(std::string bytes = {})
        : RecordFile(std::move(bytes), account_line_count, account_field_names)
    {
    }
    Account account(std::size_t i) const;

    std::vector<std::string> names() const; // in file order, duplicates too
    // The first account with this name, compared exactly.
    std::optional<Account> find_account(std::string_view name) const;
    // The first account whose name and password both equal those given, exactly.
    std::optional<Account> check_credentials(std::string_view name,
                                             std::string_view password) const;

    // The file's new contents with every account of that name replaced in its place, or the
    // account appended when there is none. Other accounts are copied byte for byte.
    RecordRewrite with_saved(const Account &account) const;
    // The file's new contents without any account of that name.
    RecordRewrite without(std::string_view name) const;
};

} // namespace durnmoor
