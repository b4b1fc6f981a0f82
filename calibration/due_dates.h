#pragma once

#include "register/products_file.h"
#include "register/register_edit.h"

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

    // The dates of edit.before, if they are the ones kept, carried over to edit.after: only
    // a changed record's worked out, dropped ones left out.
    void carry_over(const RegisterEdit &edit);

private:
    std::weak_ptr<const ProductsData> made_from_;
    QLocale locale_; // month names are read in it
    std::vector<qint64> days_;
};

} // namespace durnmoor
