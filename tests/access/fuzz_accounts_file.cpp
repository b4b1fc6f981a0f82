// Any bytes as security.dat: saving an account replaces every record of its name in place
// (or appends it), removing drops exactly those, and every other account survives whole.
#include "access/accounts_file.h"

#include "fuzz_support.h"

using namespace durnmoor;
using fuzz::require;

DURNMOOR_FUZZ_TARGET(text)
{
    const AccountsData source{std::string(text)};
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
    require(flag_ticked(changed.maintenance) && !flag_ticked(changed.read));
}
