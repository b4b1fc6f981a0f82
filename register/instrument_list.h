#pragma once

#include "app/app_state.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace durnmoor {

class ProductsData;
struct Workspace;

// The instrument list: filling it and showing the instrument picked in it.

// The record line the list shows: the number, or the description.
int key_line(const Workspace &w);

// products.dat as it is now, for showing; a file that cannot be read is reported and shows
// no records.
std::shared_ptr<const ProductsData> shown_products(Workspace &w);

// products.dat read and its full list sorted ahead of load_up, without a word: a file that
// cannot be read is left for load_up to report.
void prepare_listing(Workspace &w);

// Fills the list with the records wanted (all when none is given), read from products.dat.
void fill_list(Workspace &w,
               const std::function<bool(const ProductsData &, std::size_t)> &wanted = {});
// The same from a register already read.
void fill_list(Workspace &w, const std::shared_ptr<const ProductsData> &data,
               const std::function<bool(std::size_t)> &wanted);
// The full list, fields blank and closed; no caption change.
void load_up(Workspace &w);
// The available or the obsolete instruments, by list_filter.
void list_items(Workspace &w);
// The menu items "Full Listing", "List Available Instruments", "List Obsolete Instruments".
void full_listing(Workspace &w);
void list_filtered(Workspace &w, ListFilter filter);
// "List by Instrument Number" or "... Description" chosen.
void order_changed(Workspace &w);
// A click in the list: the clicked instrument shown, with its history and due date.
void line_clicked(Workspace &w);
// A double-click: the shown instrument opened for editing, under the edit right.
void line_double_clicked(Workspace &w);

} // namespace durnmoor
