// Any bytes as products.dat, contacts.dat and security.dat: reading never fails, and a
// rewrite keeps every record it is told to keep, line for line, in a file of whole CR LF
// records, refusing a new record whole when one of its lines holds a line break. Then what
// each file adds: the register finds a record by its number, the address book completes a
// company from what is typed of its name, and saving or removing an account leaves every
// other account whole.
#include "access/accounts_file.h"
#include "contacts/contacts_file.h"
#include "register/products_file.h"

#include "fuzz_support.h"

#include <algorithm>

using namespace durnmoor;
using fuzz::require;

namespace {

using Lines = std::vector<std::string>;

// Every record's lines, in file order.
std::vector<Lines> records_of(const RecordFile &data)
{
    std::vector<Lines> records(data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        data.each_line(i, [&](int, std::string_view line) { records[i].emplace_back(line); });
    return records;
}

// The rewrite wrote exactly these records, every line ended by CR LF and nothing after the
// last, and they read back as written; stray line ends after the last record are no record.
void require_written(const RecordRewrite &rewrite, const std::vector<Lines> &expected)
{
    std::string whole;
    for (const Lines &record : expected)
        for (const std::string &line : record)
            whole += line + "\r\n";
    require(rewrite.bytes() == whole);
    require(records_of(RecordFile(whole + "\r\n\n", rewrite.source().record_lines())) == expected);
}

// Every record copied; then one left out and another written anew with its lines reversed.
void require_rewrites(const RecordFile &source, std::string_view text)
{
    const std::vector<Lines> records = records_of(source);
    const std::size_t n = records.size();
    RecordRewrite all(source);
    for (std::size_t i = 0; i < n; ++i) {
        all.copy(i);
        const std::size_t found = source.find(1, records[i][0]);
        require(found <= i && records[found][0] == records[i][0]);
    }
    require_written(all, records);
    if (n < 2)
        return;
    const std::size_t dropped = std::uint8_t(text.front()) % n;
    const std::size_t replaced = (dropped + 1 + std::uint8_t(text.back()) % (n - 1)) % n;
    RecordRewrite some(source);
    std::vector<Lines> expected;
    for (std::size_t i = 0; i < n; ++i) {
        if (i == replaced) {
            const Lines reversed(records[i].rbegin(), records[i].rend());
            // A line read with a CR inside it is no field a writer may write.
            const bool writable =
                std::none_of(reversed.begin(), reversed.end(),
                             [](const auto &line) { return holds_line_break(line); });
            require(some.write(reversed) == writable);
            if (writable)
                expected.push_back(reversed);
        } else if (i != dropped) {
            some.copy(i);
            expected.push_back(records[i]);
        }
    }
    require_written(some, expected);
}

// The start of the last company's name as the box shows it, in characters, completes to a
// company that holds it: the last one at least does.
void require_completion(const ContactsData &book, std::string_view text)
{
    if (book.empty())
        return;
    const std::string last(book.line(book.size() - 1, company_name));
    const QString typed = QString::fromLocal8Bit(last).left(text.size() % 4);
    const auto completed = book.complete_company(typed);
    require(completed && QString::fromLocal8Bit(*completed).toLower().contains(typed.toLower()));
}

// Saving an account replaces every record of its name in place (or appends it), removing
// drops exactly those.
void require_account_changes(const AccountsData &source, std::string_view text)
{
    std::vector<Account> accounts;
    for (std::size_t i = 0; i < source.size(); ++i)
        accounts.push_back(source.account(i));
    const Account changed{accounts.empty() ? "new" : accounts.front().name, "pw", flag_line(true),
                          flag_line(false), flag_line(text.size() % 2 == 0)};
    const RecordRewrite saving = source.with_saved(changed);
    // A name read with a CR inside it cannot be written as a field: the save is refused.
    require(saving.refused_line().has_value() == holds_line_break(changed.name));
    if (saving.refused_line())
        return;
    const AccountsData saved(saving.bytes());
    const AccountsData removed(source.without(changed.name).bytes());
    std::size_t kept = 0;
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        const bool named = accounts[i].name == changed.name;
        require(saved.account(i) == (named ? changed : accounts[i]));
        if (!named)
            require(removed.account(kept++) == accounts[i]);
    }
    require(removed.size() == kept);
    require(saved.size() == accounts.size() + (accounts.empty() ? 1 : 0));
    require(saved.check_credentials(changed.name, "pw").has_value());
    require(!removed.find_account(changed.name).has_value());
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    const std::string bytes(text);
    require_rewrites(ProductsData(bytes), text);
    require_rewrites(ContactsData(bytes), text);
    require_rewrites(AccountsData(bytes), text);
    require_completion(ContactsData(bytes), text);
    require_account_changes(AccountsData(bytes), text);
}
