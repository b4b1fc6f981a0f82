#include "common/enter_chain.h"

#include <QKeyEvent>
#include <QWidget>

namespace durnmoor {

void EnterChain::link(QWidget *from, QWidget *to)
{
    next_.insert(from, to);
    from->installEventFilter(this);
}

bool EnterChain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    QWidget *next = next_.value(watched);
    if (!next || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return QObject::eventFilter(watched, event);
    emit entered(static_cast<QWidget *>(watched));
    if (next->isEnabled() && next->isVisible())
        next->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace durnmoor
