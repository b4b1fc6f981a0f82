#include "app/context_menu.h"

#include <QMenu>
#include <QMouseEvent>

namespace durnmoor {

bool ContextMenuFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            if (menu_)
                menu_->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace durnmoor
