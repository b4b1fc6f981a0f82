#pragma once

#include "register/products_file.h"
#include "register/register_edit.h"
#include "text/screen_text.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

// One line of the instrument list and the one record it was made from: its place in the
// file and the exact bytes of its key line, so that lines whose text looks alike
// (duplicates, or bytes the system encoding cannot show) still each lead back to their own
// record.
struct ListEntry {
    QString text;           // the key line as the screen shows it
    std::string key;        // the key line's bytes
    std::size_t record = 0; // where the record stood when the list was filled

    friend bool operator==(const ListEntry &, const ListEntry &) = default;
};

// The records wanted (every record when none is given), in the order the instrument list
// keeps: by their key lines as text without regard to case ("10", "9", "A1"), lines equal but
// for case in file order. tick runs after each record, so a caller can keep a window painted.
std::vector<std::size_t> list_order(const ProductsData &data, int key_line,
                                    const std::function<bool(std::size_t)> &wanted = {},
                                    const std::function<void()> &tick = {});

// The full list's order of a register, worked out once for the register as read and the
// line it is listed by: a full listing of an unchanged register is not sorted again.
class FullOrder {
public:
    const std::vector<std::size_t> &of(const std::shared_ptr<const ProductsData> &data,
                                       int key_line, const std::function<void()> &tick = {});

    // The order kept for data by key_line, if there is one.
    const std::vector<std::size_t> *kept_for(const std::shared_ptr<const ProductsData> &data,
                                             int key_line) const
    {
        return made_from_.lock() == data && key_line_ == key_line ? &records_ : nullptr;
    }

    // The order of edit.before, if it is the one kept, carried over to edit.after: a changed
    // record moved to its place, dropped ones left out, instead of sorting everything again.
    void carry_over(const RegisterEdit &edit);

private:
    void move_changed(const ProductsData &before, const ProductsData &after, std::size_t changed);
    void leave_out(const std::vector<bool> &dropped);

    std::weak_ptr<const ProductsData> made_from_;
    int key_line_ = 0;
    std::vector<std::size_t> records_;
};

// The list line of one record.
ListEntry entry_at(const ProductsData &data, int key_line, std::size_t record);

// The lines of list_order, made whole.
std::vector<ListEntry> list_entries(const ProductsData &data, int key_line,
                                    const std::function<bool(std::size_t)> &wanted = {},
                                    const std::function<void()> &tick = {});

// The record an entry was made from: the one at its place when that still has its key, else
// (the file changed since the list was filled) the first with the key; npos when none has.
std::size_t find_entry(const ProductsData &data, int key_line, const ListEntry &entry);

// For each record of the file, whether one of the entries was made from it, as find_entry
// finds them (each record counted once).
std::vector<bool> records_of(const ProductsData &data, int key_line,
                             const std::vector<ListEntry> &entries);

} // namespace durnmoor
