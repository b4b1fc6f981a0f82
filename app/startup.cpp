#include "app/startup.h"

#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/splash.h"

#include <QApplication>
#include <QSettings>
#include <QThread>

namespace durnmoor {

namespace {
constexpr unsigned long splash_pause_ms = 1000;
}

int run_program(QApplication &app)
{
    const QString app_path = QCoreApplication::applicationDirPath();
    const SingleInstance instance(app_path);
    if (!instance.acquired())
        return 0; // another copy is running: end silently

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Durnmoor"),
                       QStringLiteral("Durnmoor"));
    MainWindow window({app_path, &settings});

    {
        SplashWindow splash;
        splash.show();
        QApplication::processEvents();
        QThread::msleep(splash_pause_ms);
        window.load_form();
    }
    window.apply_start_rights();
    window.show();
    return app.exec();
}

} // namespace durnmoor
