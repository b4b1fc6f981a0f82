#pragma once

#include "register/products_file.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace durnmoor {

// How a rewrite by this program made one register of another: one record replaced (or
// appended, at before's size), or records left out. What is kept per register follows the
// edit instead of being worked out again for every record.
struct RegisterEdit {
    std::shared_ptr<const ProductsData> before;
    std::shared_ptr<const ProductsData> after;
    std::optional<std::size_t> changed; // none when records were left out
    std::vector<bool> dropped;          // for each record of before, whether it was left out

    // Whether after has the records the edit says, counted: anything else is worked out anew.
    bool holds() const
    {
        if (!before || !after)
            return false;
        if (changed)
            return *changed <= before->size() &&
                   after->size() == before->size() + (*changed == before->size() ? 1 : 0);
        return dropped.size() == before->size() &&
               after->size() ==
                   before->size() - std::size_t(std::count(dropped.begin(), dropped.end(), true));
    }
};

} // namespace durnmoor
