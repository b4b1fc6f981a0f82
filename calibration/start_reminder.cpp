#include "calibration/start_reminder.h"

#include "access/settings_store.h"
#include "common/busy_cursor.h"
#include "store/clock.h"
#include "common/file_failure.h"
#include "app/workspace.h"
#include "calibration/reminder_window.h"
#include "calibration/reminders.h"
#include "register/instrument_list.h"

#include <QApplication>
#include <QScreen>

namespace durnmoor {

namespace {
constexpr int cascade_step = 28; // each window down and right of the one before, all visible
}

void check_calibration(Workspace &w, const QSettings *settings)
{
    const BusyCursor busy;
    load_reminder_days(settings, w.state.reminder_days);
    const std::shared_ptr<const ProductsData> kept = shown_products(w);
    const ProductsData &data = *kept;
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    int placed = 0;
    for (const DueReminder &reminder : due_reminders(data, today(), w.state.reminder_days)) {
        auto *window = new ReminderWindow(reminder);
        window->setWindowIcon(w.window->windowIcon());
        const int step = (placed++ % 16) * cascade_step;
        window->move(screen.topLeft() + QPoint(40 + step, 40 + step));
        window->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace durnmoor
