#include "register/entry_area.h"

#include "app/workspace.h"
#include "calibration/history_tab.h"
#include "contacts/address_book_tab.h"
#include "register/details_tab.h"
#include "register/listing_tab.h"

#include <QAction>

namespace durnmoor {

void enableform(Workspace &w)
{
    w.details->set_fields_enabled(true);
    w.history->set_number_enabled(true);
    w.details->set_save_enabled(false); // only Add and Edit make a record savable

    apply_edit_right(w);
    if (!w.state.may_edit()) {
        w.history->set_now_calibrated_enabled(false);
        w.history->set_update_enabled(false);
        w.history->set_remove_enabled(false);
    }
    w.account_maintenance->setEnabled(w.state.may_maintain_accounts());
}

void apply_edit_right(Workspace &w)
{
    const bool may_edit = w.state.may_edit();
    w.listing->set_record_buttons(may_edit);
    w.details->set_record_buttons(may_edit);
    w.address_book->set_record_buttons(may_edit);
}

void disableform(Workspace &w)
{
    w.details->set_fields_enabled(false);
    w.history->set_number_enabled(false);
    w.details->set_save_enabled(false);
    // Recording a calibration belongs to an instrument open for editing: once the entry is
    // closed there is no instrument to record it against.
    w.history->set_now_calibrated_enabled(false);
    w.history->set_update_enabled(false);
    w.history->set_remove_enabled(false);
    w.history->lock_result();
}

void clean(Workspace &w)
{
    w.details->clean_fields();
    w.history->clean();
}

} // namespace durnmoor
