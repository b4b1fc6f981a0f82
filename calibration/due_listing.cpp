#include "calibration/due_listing.h"

#include "common/busy_cursor.h"
#include "store/clock.h"
#include "app/kept_files.h"
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
    const std::shared_ptr<const ProductsData> data = shown_products(w);
    const std::vector<qint64> &days = w.kept.due_dates.of(data);
    fill_list(w, data, [&days, now, horizon_months](std::size_t i) {
        // A record whose dates or interval give no due date is listed under every
        // horizon: it needs the user's attention more than any other.
        const qint64 day = days[i];
        return due_within(
            now, day == DueDates::no_date ? std::nullopt : std::optional(QDate::fromJulianDay(day)),
            horizon_months);
    });
    change_caption(w);
    enableform(w);
}

} // namespace durnmoor
