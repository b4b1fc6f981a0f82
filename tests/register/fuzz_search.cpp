// Any search text over any register: the search over the whole file finds exactly the
// records that matching each record alone finds.
#include "register/search_words.h"
#include "store/record_file.h"

#include "fuzz_support.h"

using namespace durnmoor;
using fuzz::require;

DURNMOOR_FUZZ_TARGET(text)
{
    const std::size_t split = text.find('\n');
    if (split == std::string_view::npos)
        return;
    // Records of three lines, so that a small input holds many of them.
    const RecordFile data(std::string(text.substr(split + 1)), 3);
    RecordSearch search(search_words(fuzz::utf8(text.substr(0, split))));
    const std::vector<bool> matched = search.matching(data);
    require(matched.size() == data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        require(matched[i] == search.matches(data, i));
}
