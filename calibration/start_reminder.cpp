#include "calibration/start_reminder.h"

#include "access/access_control.h"
#include "calibration/reminder_window.h"
#include "calibration/reminders.h"
#include "common/busy_cursor.h"
#include "register/instrument_register.h"
#include "store/clock.h"

#include <QApplication>
#include <QScreen>

namespace durnmoor {

namespace {
constexpr int cascade_step = 28; // each window down and right of the one before, all visible
}

void show_due_reminders(QWidget *window, InstrumentRegister &instruments)
{
    const BusyCursor busy;
    const std::int16_t days = instruments.access().load_reminder_days();
    const std::shared_ptr<const ProductsData> kept = instruments.current();
    const ProductsData &data = *kept;
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    int placed = 0;
    for (const DueReminder &reminder : due_reminders(data, today(), days)) {
        auto *shown = new ReminderWindow(reminder);
        shown->setWindowIcon(window->windowIcon());
        const int step = (placed++ % 16) * cascade_step;
        shown->move(screen.topLeft() + QPoint(40 + step, 40 + step));
        shown->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace durnmoor
