#include "app/startup.h"

#include "access/autostart.h"
#include "app/main_window.h"
#include "common/message_box.h"
#include "common/splash.h"
#include "store/data_folder.h"
#include "store/single_instance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace durnmoor {

namespace {

constexpr char folder_in_use[] = "Another copy of Durnmoor is already using the data folder\n%1.\n"
                                 "Only one copy at a time may work on its records.";

// A start that ended without a word would look like a program that failed to start.
void tell_folder_in_use(const QString &app_path)
{
    const QString folder =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(app_path).absoluteFilePath()));
    Messages::notify(nullptr, QString::fromLatin1(folder_in_use).arg(folder),
                     QString::fromLatin1(app_title), QMessageBox::Information);
}

} // namespace

int run_program(QApplication &app)
{
    // An installed copy keeps its data in the user's folder; a copy of its own, beside it.
    return run_program(
        app, choose_data_folder(QCoreApplication::applicationDirPath(), user_data_folder()));
}

int run_program(QApplication &app, const QString &app_path)
{
    const SingleInstance instance(app_path);
    if (!instance.acquired()) {
        tell_folder_in_use(app_path);
        return 0;
    }

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
        window.fill_form();
    }
    window.apply_start_rights();
    window.show();
    return app.exec();
}

} // namespace durnmoor
