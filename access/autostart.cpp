#include "access/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace durnmoor {

QString desktop_exec_value(const QString &program)
{
    // Quoted whole, so that a folder with blanks or shell characters is still one argument.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%') // a field code would be expanded
            quoted += u'%';
    }
    quoted += u'"';
    // The string escapes are undone first when the entry is read, then the quoting.
    QString value;
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case u'\\':
            value += QLatin1String("\\\\");
            break;
        case u'\n':
            value += QLatin1String("\\n");
            break;
        case u'\t':
            value += QLatin1String("\\t");
            break;
        case u'\r':
            value += QLatin1String("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

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
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Durnmoor\n"
                                        "Exec=%1\nX-GNOME-Autostart-enabled=true\n")
                             .arg(desktop_exec_value(executable_));
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
