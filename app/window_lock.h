#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

class QWidget;

namespace durnmoor {

// The one place that decides whether the main window takes input. It is locked while a
// log-in is pending and held while a dialog that stands in for it is open (print, about);
// it is enabled again only when neither holds, however a dialog ends. So closing some
// other dialog can never unlock a window that waits for a log-in.
class WindowLock : public QObject {
    Q_OBJECT

public:
    explicit WindowLock(QWidget *window);

    // A log-in is pending: the window came back with protection on and nobody has logged
    // in since. Set when the window leaves the screen, so that every way back asks.
    bool login_pending() const { return login_pending_; }
    void set_login_pending(bool pending);

    // The window stays disabled while dialog is open; its end (closing or deletion) lets go.
    void hold_for(QWidget *dialog);
    bool held() const { return !holders_.isEmpty(); }

signals:
    // A log-in has become pending: whatever changes data must close or refuse now.
    void locked();

private:
    void release(QObject *dialog);
    void apply();

    QWidget *window_;
    bool login_pending_ = false;
    QSet<QObject *> holders_;
};

} // namespace durnmoor
