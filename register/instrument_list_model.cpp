#include "register/instrument_list_model.h"

namespace durnmoor {

void InstrumentListModel::show(std::shared_ptr<const ProductsData> data, int key_line,
                               std::vector<std::size_t> records)
{
    beginResetModel();
    data_ = std::move(data);
    key_line_ = key_line;
    records_ = std::move(records);
    endResetModel();
}

void InstrumentListModel::clear()
{
    show(nullptr, key_line_, {});
}

int InstrumentListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

QVariant InstrumentListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const std::optional<ListEntry> line = entry(index.row());
    return line ? QVariant(line->text) : QVariant();
}

std::optional<ListEntry> InstrumentListModel::entry(int row) const
{
    if (!data_ || row < 0 || static_cast<std::size_t>(row) >= records_.size())
        return std::nullopt;
    return entry_at(*data_, key_line_, records_[static_cast<std::size_t>(row)]);
}

std::vector<ListEntry> InstrumentListModel::entries() const
{
    std::vector<ListEntry> all;
    all.reserve(records_.size());
    for (const std::size_t record : records_)
        all.push_back(entry_at(*data_, key_line_, record));
    return all;
}

} // namespace durnmoor
