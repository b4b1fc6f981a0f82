#include "calibration/due_listing.h"

#include "app/busy_cursor.h"
#include "app/clock.h"
#include "app/workspace.h"
#include "calibration/due_date.h"
#include "register/entry_area.h"
#include "register/instrument_list.h"
#include "register/list_entries.h"
#include "register/listing_tab.h"
#include "register/products_file.h"

namespace durnmoor {

void future_listing(Workspace &w, int horizon_months)
{
    disableform(w);
    show_working_caption(w, listing_caption);
    const BusyCursor busy;
    w.state.list_by_number = w.listing->by_number();
    w.listing->clear_entries();
    clean(w);
    const QDate now = today();
    fill_list(w, [now, horizon_months](const ProductsData &data, std::size_t i) {
        // A record whose dates or interval give no due date is listed under every
        // horizon: it needs the user's attention more than any other.
        const auto due =
            due_date(list_text(data.line(i, lastcal_day)), list_text(data.line(i, lastcal_month)),
                     list_text(data.line(i, lastcal_year)), data.line(i, interval_months));
        return due_within(now, due, horizon_months);
    });
    change_caption(w);
    enableform(w);
}

} // namespace durnmoor
