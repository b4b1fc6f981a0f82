#pragma once

#include "register/list_entries.h"

#include <QAbstractListModel>

#include <memory>
#include <vector>

namespace durnmoor {

// The lines of the instrument list, made from the parsed register they were listed from:
// the list holds each line's record and nothing else, and decodes a line's text only when
// it is shown, so a register of a million instruments lists in a fraction of its own size.
class InstrumentListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // The records in the order given, their lines made from key_line of data.
    void show(std::shared_ptr<const ProductsData> data, int key_line,
              std::vector<std::size_t> records);
    void clear();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The line of row, or nullopt for a row the list does not have.
    std::optional<ListEntry> entry(int row) const;
    std::vector<ListEntry> entries() const;

private:
    std::shared_ptr<const ProductsData> data_;
    int key_line_ = 1;
    std::vector<std::size_t> records_; // one per row
};

} // namespace durnmoor
