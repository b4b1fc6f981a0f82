#pragma once

namespace durnmoor {

struct Workspace;

// Adding, editing, saving, cancelling and deleting instruments.
void add_new_product(Workspace &w);
void edit_product(Workspace &w);
// True when the record was written.
bool save_product(Workspace &w);
void cancel_entry(Workspace &w);
void delete_selected(Workspace &w);

} // namespace durnmoor
