#include "access/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace durnmoor {

XdgAutostart::XdgAutostart(QString folder, QString executable)
    : folder_(std::move(folder)), executable_(std::move(executable))
{
}

QString XdgAutostart::entry_path() const
{
    return QDir(folder_).filePath(QStringLiteral("durnmoor.desktop"));
}

bool XdgAutostart::registered() const
{
    return QFileInfo::exists(entry_path());
}

void XdgAutostart::set_registered(bool on)
{
    if (!on) {
        QFile::remove(entry_path());
        return;
    }
    QDir().mkpath(folder_);
    QSaveFile entry(entry_path());
    if (!entry.open(QIODevice::WriteOnly))
        return;
    // Exec quotes the path, so that a folder with blanks still starts the program.
    QString quoted = executable_;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Durnmoor\n"
                                        "Exec=\"%1\"\nX-GNOME-Autostart-enabled=true\n")
                             .arg(quoted);
    entry.write(text.toUtf8());
    entry.commit();
}

#ifdef Q_OS_WIN
namespace {
const QString run_key =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
QString value_name(const QString &executable)
{
    return QFileInfo(executable).completeBaseName();
}
} // namespace

RunKeyAutostart::RunKeyAutostart(QString executable) : executable_(std::move(executable)) {}

bool RunKeyAutostart::registered() const
{
    return QSettings(run_key, QSettings::NativeFormat).contains(value_name(executable_));
}

void RunKeyAutostart::set_registered(bool on)
{
    QSettings run(run_key, QSettings::NativeFormat);
    if (on)
        run.setValue(value_name(executable_), QDir::toNativeSeparators(executable_));
    else
        run.remove(value_name(executable_));
}
#endif

} // namespace durnmoor
