#pragma once

#include <QString>

namespace durnmoor {

// The entry that starts the program with the user's session, as an ordinary start with no
// argument. On Windows it is the value under the machine's Run key; elsewhere an XDG
// autostart entry in the user's autostart folder.
class Autostart {
public:
    virtual ~Autostart() = default;
    virtual bool registered() const = 0;
    // Writes or removes the entry; failures have no visible effect, as the system may not
    // let this user change where programs start from.
    virtual void set_registered(bool on) = 0;
};

// The value of a desktop entry's Exec key that starts program with no argument: the path
// quoted as one argument (a double quote, backquote, dollar sign or backslash escaped by a
// backslash, a percent sign doubled), then the string escapes of the desktop entry format
// applied over the whole value (each backslash doubled once more; a line break, tab or
// carriage return written as an escape, so the entry stays one line).
QString desktop_exec_value(const QString &program);

// The XDG autostart entry "durnmoor.desktop" in folder, starting executable.
class XdgAutostart : public Autostart {
public:
    XdgAutostart(QString folder, QString executable);
    bool registered() const override;
    void set_registered(bool on) override;

    QString entry_path() const;

private:
    QString folder_;
    QString executable_;
};

#ifdef Q_OS_WIN
// The value named after the executable under HKEY_LOCAL_MACHINE's Run key.
class RunKeyAutostart : public Autostart {
public:
    explicit RunKeyAutostart(QString executable);
    bool registered() const override;
    void set_registered(bool on) override;

private:
    QString executable_;
};
#endif

} // namespace durnmoor
