// Any bytes as contacts.dat: the completion finds a company that holds the typed text, and
// a rewrite dropping one company keeps every other record whole and in order.
#include "contacts/contacts_file.h"

#include "fuzz_support.h"

#include <QString>

#include <cstdint>
#include <vector>

using namespace durnmoor;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ContactsData source(std::string(reinterpret_cast<const char *>(data), size));
    std::vector<contact_record> records;
    for (std::size_t i = 0; i < source.size(); ++i)
        records.push_back(source.record(i));
    if (records.empty())
        return 0;

    // The start of the last company's name as the box shows it, in characters.
    const QString typed = QString::fromLocal8Bit(records.back()[company_name]).left(size % 4);
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
    const ContactsData rewritten(rewrite.bytes());
    require(rewritten.size() == kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
        require(rewritten.record(i).lines == kept[i].lines);
    return 0;
}
