#pragma once

#include "register/products_file.h"

#include <QDate>
#include <QLocale>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace durnmoor {

// The due date of a record, from its own dates and interval; nullopt when they give none.
std::optional<QDate> record_due_date(const ProductsData &data, std::size_t record);

// The due dates of every record of a register, worked out once for the register as read:
// a due listing looks at every record, and the dates change only when the register does.
class DueDates {
public:
    // Julian days; no_date for a record without one.
    static constexpr qint64 no_date = std::numeric_limits<qint64>::min();
    const std::vector<qint64> &of(const std::shared_ptr<const ProductsData> &data);

    // What a rewrite of the register kept here made of it: after is before with record
    // `changed` replaced (or appended, at before's size), or with the records marked in
    // dropped left out. The dates are carried over, only the changed record's worked out.
    void carry_over(const std::shared_ptr<const ProductsData> &before,
                    const std::shared_ptr<const ProductsData> &after, std::size_t changed);
    void carry_over(const std::shared_ptr<const ProductsData> &before,
                    const std::shared_ptr<const ProductsData> &after,
                    const std::vector<bool> &dropped);

private:
    std::weak_ptr<const ProductsData> made_from_;
    QLocale locale_; // month names are read in it
    std::vector<qint64> days_;
};

} // namespace durnmoor
