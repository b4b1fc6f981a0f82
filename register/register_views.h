#pragma once

#include "register/list_entries.h"
#include "register/product_record.h"

#include <optional>
#include <string>
#include <vector>

namespace durnmoor {

// What the register reads of the windows that show it: the user's choice in the instrument
// list, and the record as the entry fields stand. The register changes neither; it says
// what changed by its signals.

class ListChoice {
public:
    virtual ~ListChoice() = default;
    // "List by Instrument Number" rather than by description.
    virtual bool by_number() const = 0;
    virtual std::vector<ListEntry> entries() const = 0; // top to bottom
    virtual int selected_count() const = 0;
    virtual std::vector<ListEntry> selected_entries() const = 0; // top to bottom
    // The line a click made current: the selected one, or the focused one when none is.
    virtual std::optional<ListEntry> current_entry() const = 0;
};

class EntryForm {
public:
    virtual ~EntryForm() = default;
    // The record as the fields stand (see DetailsTab::entered_record).
    virtual product_record entered_record() const = 0;
    // "Cost of Calibration:" as a history record stores it.
    virtual std::string cost_bytes() const = 0;
};

} // namespace durnmoor
