#include "common/list_clicks.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace durnmoor {

ListClicks::ListClicks(QAbstractItemView *list) : QObject(list)
{
    connect(list, &QAbstractItemView::pressed, this, [this] {
        press_pending_ = true;
        selection_changed_ = false;
    });
    // The view keeps one selection model: its model is filled anew, never replaced.
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        selection_changed_ = press_pending_;
        emit clicked();
    });
    connect(list, &QAbstractItemView::clicked, this, [this] {
        const bool again = press_pending_ && !selection_changed_;
        press_pending_ = false;
        if (again)
            emit clicked();
    });
}

} // namespace durnmoor
