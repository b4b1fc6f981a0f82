#include "calibration/start_reminder.h"

#include "access/access_control.h"
#include "calibration/reminder_window.h"
#include "common/busy_cursor.h"
#include "register/instrument_register.h"
#include "store/clock.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <memory>

namespace durnmoor {

namespace {

constexpr int cascade_step = 28; // each window down and right of the one before
constexpr int cascade_margin = 48;

QRect area_of(const QWidget *window)
{
    const QScreen *screen =
        window && window->isVisible() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (!window || !window->isVisible() || window->isMinimized())
        return available;
    const QRect over = window->frameGeometry().intersected(available);
    return over.isEmpty() ? available : over;
}

} // namespace

std::vector<DueReminder> check_due_reminders(InstrumentRegister &instruments)
{
    const BusyCursor busy;
    const std::int16_t days = instruments.access().load_reminder_days();
    const std::shared_ptr<const ProductsData> kept = instruments.current();
    return due_reminders(*kept, today(), days);
}

void show_due_reminders(QWidget *window, const std::vector<DueReminder> &reminders)
{
    std::vector<ReminderWindow *> shown;
    int width = 0;
    for (const DueReminder &reminder : reminders) {
        auto *one = new ReminderWindow(reminder);
        if (window)
            one->setWindowIcon(window->windowIcon());
        width = std::max({width, one->sizeHint().width(), one->minimumWidth()});
        shown.push_back(one);
    }
    // Within the window's area, a cascade starts again at the top when it would run out.
    const QRect area = area_of(window);
    const int height = shown.empty() ? 0 : shown.front()->sizeHint().height();
    const int room = std::max(area.height() - height - 2 * cascade_margin, 0);
    const int per_column = std::max(room / cascade_step + 1, 1);
    auto batch = std::make_shared<std::vector<QPointer<ReminderWindow>>>();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        ReminderWindow *one = shown[i];
        one->setFixedWidth(width);
        const int down = static_cast<int>(i) % per_column;
        const int column = static_cast<int>(i) / per_column;
        QPoint at = area.topLeft() + QPoint(cascade_margin + (down + column) * cascade_step,
                                            cascade_margin + down * cascade_step);
        at.setX(std::min(at.x(), area.right() - width));
        one->move(at);
        batch->push_back(one);
        // When one is closed, the newest still open takes the keyboard.
        QObject::connect(one, &QObject::destroyed, [batch] {
            for (auto it = batch->rbegin(); it != batch->rend(); ++it)
                if (*it && (*it)->isVisible()) {
                    (*it)->raise();
                    (*it)->activateWindow();
                    return;
                }
        });
        one->show();
        one->raise();
        one->activateWindow();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace durnmoor
