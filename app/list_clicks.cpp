#include "app/list_clicks.h"

#include <QListWidget>

namespace durnmoor {

ListClicks::ListClicks(QListWidget *list) : QObject(list)
{
    connect(list, &QAbstractItemView::pressed, this, [this] {
        press_pending_ = true;
        selection_changed_ = false;
    });
    connect(list, &QListWidget::itemSelectionChanged, this, [this] {
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
