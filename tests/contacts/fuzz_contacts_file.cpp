// Any bytes as contacts.dat: the completion finds a company that holds the typed text, and
// a rewrite dropping one company keeps every other record whole and in order.
#include "contacts/contacts_file.h"

#include "fuzz_support.h"

using namespace durnmoor;
using fuzz::require;

DURNMOOR_FUZZ_TARGET(text)
{
    const ContactsData source{std::string(text)};
    const auto records = fuzz::records_of(source);
    if (records.empty())
        return;

    // The start of the last company's name as the box shows it, in characters.
    const QString typed =
        QString::fromLocal8Bit(records.back()[company_name]).left(text.size() % 4);
    const auto completed = source.complete_company(typed);
    require(completed.has_value()); // the last company at least holds its own start
    require(QString::fromLocal8Bit(*completed).toLower().contains(typed.toLower()));

    const std::string gone = records.front()[company_name];
    RecordRewrite rewrite(source);
    std::vector<contact_record> kept;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i][company_name] == gone)
            continue;
        rewrite.copy(i);
        kept.push_back(records[i]);
    }
    fuzz::require_records(ContactsData(rewrite.bytes()), kept);
}
