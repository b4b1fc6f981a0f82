#include "app/window_lock.h"

#include <QEvent>
#include <QWidget>

namespace durnmoor {

namespace {

// Lets go of the window when the dialog is hidden for good, even where it is not deleted.
class EndWatcher : public QObject {
public:
    EndWatcher(QObject *parent, std::function<void()> ended)
        : QObject(parent), ended_(std::move(ended))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close || event->type() == QEvent::Hide)
            QMetaObject::invokeMethod(this, ended_, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> ended_;
};

} // namespace

WindowLock::WindowLock(QWidget *window) : QObject(window), window_(window) {}

void WindowLock::set_login_pending(bool pending)
{
    const bool newly = pending && !login_pending_;
    login_pending_ = pending;
    apply();
    if (newly)
        emit locked();
}

void WindowLock::hold_for(QWidget *dialog)
{
    holders_.insert(dialog);
    connect(dialog, &QObject::destroyed, this, [this, dialog] { release(dialog); });
    QPointer<QWidget> watched(dialog);
    dialog->installEventFilter(new EndWatcher(dialog, [this, watched] {
        if (!watched || !watched->isVisible())
            release(watched.data());
    }));
    apply();
}

void WindowLock::release(QObject *dialog)
{
    holders_.remove(dialog);
    holders_.remove(nullptr);
    apply();
}

void WindowLock::apply()
{
    window_->setEnabled(!login_pending_ && holders_.isEmpty());
}

} // namespace durnmoor
