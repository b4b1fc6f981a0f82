#pragma once

#include <QObject>

class QMenu;

namespace durnmoor {

// Pops a menu up at the pointer when the right mouse button is pressed on any widget
// it watches; the press goes no further. Without a menu it only stops the press, so a
// control inside a frame that has the menu does not pass the press on to the frame.
class ContextMenuFilter : public QObject {
    Q_OBJECT

public:
    ContextMenuFilter(QMenu *menu, QObject *parent) : QObject(parent), menu_(menu) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMenu *menu_;
};

} // namespace durnmoor
