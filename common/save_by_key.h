#pragma once

#include "common/message_box.h"
#include "store/record_file.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

class QWidget;

namespace durnmoor {

inline constexpr char overwrite_question[] = "This record already exists, overwrite ?";
inline constexpr char overwrite_title[] = "Durnmoor Duplicate Record Alert";

// What a save by key changes.
struct SavedByKey {
    // The one record replaced, or data.size() for a record appended; nullopt when several
    // records held the key.
    std::optional<std::size_t> changed;
    std::vector<std::size_t> replaced; // every record replaced, in file order
};

// A save of a record by its key: every record of data whose key line holds the key exactly
// is replaced in its place by replacement(i), each after the overwrite question; the others
// are copied. When none holds the key, appended is written at the end. nullopt when a
// question was answered No: nothing is to change then, since nothing has been written yet.
template <typename Record, typename Replacement>
std::optional<SavedByKey> save_by_key(QWidget *parent, RecordRewrite &into, const RecordFile &data,
                                      int key_line, std::string_view key, const Record &appended,
                                      Replacement replacement)
{
    SavedByKey saved{data.size(), {}};
    bool matched = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data.line(i, key_line) != key) {
            into.copy(i);
            continue;
        }
        saved.changed = matched ? std::nullopt : std::optional(i);
        matched = true;
        if (!Messages::confirm(parent, QString::fromLatin1(overwrite_question),
                               QString::fromLatin1(overwrite_title), QMessageBox::Information))
            return std::nullopt;
        into.write(replacement(i));
        saved.replaced.push_back(i);
    }
    if (!matched)
        into.write(appended);
    return saved;
}

} // namespace durnmoor
