#pragma once

#include "register/products_file.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

// One line of the instrument list and the one record it was made from. The record is named
// by the exact bytes of its key line and by how many earlier records carry the same bytes,
// so that lines whose text looks alike (duplicates, or bytes the system encoding cannot
// show) still each lead back to their own record.
struct ListEntry {
    QString text;       // the key line as the screen shows it
    std::string key;    // the key line's bytes
    int occurrence = 0; // 0 for the first record with these bytes, 1 for the second, ...

    friend bool operator==(const ListEntry &, const ListEntry &) = default;
};

// The key line decoded for the screen in the system's 8-bit encoding.
QString list_text(std::string_view line);

// The entries for the records wanted (every record when none is given), in the order the
// instrument list keeps: as text without regard to case ("10", "9", "A1"), lines equal but
// for case in file order. tick runs after each record, so a caller can keep a window painted.
std::vector<ListEntry> list_entries(const ProductsData &data, int key_line,
                                    const std::function<bool(std::size_t)> &wanted = {},
                                    const std::function<void()> &tick = {});

// The record an entry was made from, or ProductsData::npos when the file no longer holds it.
std::size_t find_entry(const ProductsData &data, int key_line, const ListEntry &entry);

// For each record of the file, whether one of the entries was made from it.
std::vector<bool> records_of(const ProductsData &data, int key_line,
                             const std::vector<ListEntry> &entries);

} // namespace durnmoor
