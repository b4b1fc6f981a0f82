#include "app/startup.h"

#include "access/autostart.h"
#include "app/data_folder.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/splash.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>

namespace durnmoor {

int run_program(QApplication &app)
{
    // An installed copy keeps its data in the user's folder; a copy of its own, beside it.
    const QString app_path =
        choose_data_folder(QCoreApplication::applicationDirPath(), user_data_folder());
    const SingleInstance instance(app_path);
    if (!instance.acquired())
        return 0; // another copy is running: end silently

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Durnmoor"),
                       QStringLiteral("Durnmoor"));
#ifdef Q_OS_WIN
    RunKeyAutostart autostart(QCoreApplication::applicationFilePath());
#else
    XdgAutostart autostart(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                               QStringLiteral("/autostart"),
                           QCoreApplication::applicationFilePath());
#endif
    MainWindow window({app_path, &settings, &autostart});
    // Reminder windows live on after the main window is hidden; the program ends with it.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit);

    {
        SplashWindow splash;
        // The pause is put to use: the register is read and sorted, and the history
        // read and indexed, while the splash shows.
        splash.load([&window] { window.prepare(); });
        window.load_form();
    }
    window.apply_start_rights();
    window.show();
    return app.exec();
}

} // namespace durnmoor
