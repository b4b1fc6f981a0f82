#pragma once

#include <QApplication>
#include <QElapsedTimer>

namespace durnmoor {

// The hourglass from an operation's first step to its last, however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Lets the window repaint during a long loop without taking the user's clicks and keys
// in the middle of it: those wait until the operation has finished, so no second
// operation can start on a half-filled list or a half-written file.
class EventPump {
public:
    EventPump() { timer_.start(); }
    void tick()
    {
        if (timer_.elapsed() >= 40) {
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            timer_.restart();
        }
    }

private:
    QElapsedTimer timer_;
};

} // namespace durnmoor
