#include "app/tray_icon.h"

#include "common/app_info.h"

#include <QWidget>

namespace durnmoor {

TrayIcon::TrayIcon(QWidget *main_window, const QString &caption)
    : QObject(main_window), main_window_(main_window)
{
    icon_.setIcon(main_window->windowIcon());
    icon_.setToolTip(tray_tip(caption));
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::handle);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        icon_.show();
}

TrayIcon::~TrayIcon()
{
    icon_.hide();
}

bool TrayIcon::shown() const
{
    return icon_.isVisible();
}

void TrayIcon::handle(QSystemTrayIcon::ActivationReason reason)
{
    tray_message = reason;
    // A notice that arrives while an earlier one is still being handled is ignored.
    if (tray_busy)
        return;
    tray_busy = true;
    if (reason == QSystemTrayIcon::Trigger && !main_window_->isVisible()) {
        main_window_->showNormal();
        main_window_->raise();
        main_window_->activateWindow();
    }
    tray_busy = false;
}

} // namespace durnmoor
