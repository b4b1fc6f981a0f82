#pragma once

#include "store/data_file.h"

#include <memory>
#include <optional>
#include <string>

namespace durnmoor {

// A data file's parsed contents kept between operations, with the identity of the file they
// were parsed from. Every operation still looks at the file: DataFile reads it again unless
// it has this identity, so a change by another program between two clicks is always seen.
// A copy is shared, never changed: a caller may go on using one after a newer one is kept.
template <typename Parsed> class KeptFile {
public:
    const FileIdentity *identity() const { return data_ && identity_ ? &*identity_ : nullptr; }

    // What the file read holds: the kept copy when the file had not changed, else the file
    // parsed anew (and kept). A failed read gives an empty Parsed and keeps nothing.
    std::shared_ptr<const Parsed> take(DataFile &file)
    {
        if (!file.ok()) {
            forget();
            return std::make_shared<const Parsed>();
        }
        if (file.unchanged() && data_)
            return data_;
        auto parsed = std::make_shared<const Parsed>(file.take_bytes());
        keep(file.identity(), parsed);
        return parsed;
    }

    // After a rewrite by this program: what it wrote, under the identity of the new file.
    void keep(const std::optional<FileIdentity> &identity, std::shared_ptr<const Parsed> parsed)
    {
        identity_ = identity;
        data_ = identity ? std::move(parsed) : nullptr;
    }

    // After file.replace(bytes) succeeded: the bytes written are what the file now holds.
    void keep_written(const DataFile &file, std::string bytes)
    {
        keep(file.identity(), std::make_shared<const Parsed>(std::move(bytes)));
    }

    void forget()
    {
        identity_.reset();
        data_.reset();
    }

private:
    std::optional<FileIdentity> identity_;
    std::shared_ptr<const Parsed> data_;
};

} // namespace durnmoor
