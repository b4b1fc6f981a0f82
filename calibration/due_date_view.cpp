#include "calibration/due_date_view.h"

#include "store/clock.h"
#include "app/workspace.h"
#include "calibration/date_forms.h"
#include "register/details_tab.h"
#include "register/list_entries.h"
#include "register/listing_tab.h"

namespace durnmoor {

void dates(Workspace &w)
{
    w.details->fill_dates(today());
}

void CALCULATE_DATE(Workspace &w)
{
    const std::optional<QDate> due = w.details->calculate_due();
    // Without a due date the tip still names the instrument, but no date it does not have.
    const product_record &loaded = w.details->loaded();
    w.listing->set_list_tip(QStringLiteral("%1 (%2) due %3")
                                .arg(screen_text(loaded[instrument_no]),
                                     screen_text(loaded[description]),
                                     due ? long_display(*due) : QString()));
}

} // namespace durnmoor
