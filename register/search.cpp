#include "register/search.h"

#include "common/busy_cursor.h"
#include "app/workspace.h"
#include "register/entry_area.h"
#include "register/instrument_list.h"
#include "register/listing_tab.h"
#include "register/products_file.h"
#include "register/search_words.h"

namespace durnmoor {

namespace {

// Only blanks are trimmed: the words are matched as typed, and a tab is no blank.
QStringView without_outer_blanks(QStringView text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

} // namespace

void multi_search(Workspace &w, const QString &box_text)
{
    const QStringView search_text = without_outer_blanks(box_text);
    if (search_text.isEmpty()) {
        full_listing(w);
        return;
    }
    show_working_caption(w, listing_caption);
    const BusyCursor busy;
    RecordSearch search(wildcards(search_text));
    w.state.list_by_number = w.listing->by_number();
    w.listing->clear_entries();
    clean(w);
    const std::shared_ptr<const ProductsData> data = shown_products(w);
    const std::vector<bool> matched = search.matching(*data);
    fill_list(w, data, [&matched](std::size_t i) { return bool(matched[i]); });
    change_caption(w);
    enableform(w);
    show_tab(w, tab_listing);
}

} // namespace durnmoor
