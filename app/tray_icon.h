#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QWidget;

namespace durnmoor {

// The one notification-area icon, from start-up to shutdown: the program's icon and the
// caption as its tip, cut to the tip's 64 characters. A single left click brings the hidden main
// window back in its normal state, through the same window-state handling as any other restore.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    TrayIcon(QWidget *main_window, const QString &caption);
    ~TrayIcon() override;

    // Whether the desktop shows the icon: without it a minimised window must stay reachable.
    bool shown() const;
    QSystemTrayIcon &icon() { return icon_; }

    // One notice from the icon.
    void handle(QSystemTrayIcon::ActivationReason reason);

private:
    QWidget *main_window_;
    QSystemTrayIcon icon_;
    bool tray_busy = false;
    int tray_message = 0; // the last notice, kept as the icon's callback keeps it
};

} // namespace durnmoor
