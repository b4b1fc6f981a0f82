#pragma once

namespace durnmoor {

struct Workspace;

// The three routines that put the entry area of every tab into a known state.

// Opens the entry fields and sets the buttons by the user's rights.
void enableform(Workspace &w);
// Closes the entry fields, and every button that would act on what they hold.
void disableform(Workspace &w);
// Blanks the record fields and the history tab.
void clean(Workspace &w);
// The buttons that add, change or remove, on every tab, by the edit right in force.
void apply_edit_right(Workspace &w);

} // namespace durnmoor
