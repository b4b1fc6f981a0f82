#pragma once

#include <QObject>

class QAbstractItemView;

namespace durnmoor {

// A list's "click" as the user means it: every change of the selection (by mouse or keys)
// and every click on an item, including a click on the line that is already selected,
// which changes no selection but must still show that line's record again. A click that
// changes the selection counts once, and the second press of a double-click not at all.
class ListClicks : public QObject {
    Q_OBJECT

public:
    explicit ListClicks(QAbstractItemView *list);

signals:
    void clicked();

private:
    bool press_pending_ = false;
    bool selection_changed_ = false;
};

} // namespace durnmoor
