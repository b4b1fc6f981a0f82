// The shell around the main window: the notification-area icon's tip and clicks, and Help
// opening the user guide through the desktop.
#include "app/tray_icon.h"
#include "common/app_info.h"
#include "common/shell.h"
#include "support/window_fixture.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

using Reasons = QList<QSystemTrayIcon::ActivationReason>;

// Standard output and error sent to a file while it lives, to see what reached the terminal.
class CapturedTerminal {
public:
    explicit CapturedTerminal(const QString &file)
    {
        std::fflush(stdout);
        std::fflush(stderr);
        saved_out_ = ::dup(1);
        saved_err_ = ::dup(2);
        const int fd =
            ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~CapturedTerminal()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(saved_out_, 1);
        ::dup2(saved_err_, 2);
        ::close(saved_out_);
        ::close(saved_err_);
    }

private:
    int saved_out_ = -1, saved_err_ = -1;
};

// A stand-in for xdg-open, first on PATH while it lives: it complains on both outputs as
// the real one does, notes the document it was given, and ends with status once the file
// "go" appears in its folder (at once when go_at_once), or after ten seconds in any case.
class FakeOpener {
public:
    FakeOpener(const TestEnv &env, int status, bool go_at_once) : folder_(env.path("bin"))
    {
        QDir().mkpath(folder_);
        QFile script(folder_ + "/xdg-open");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\n"
                                    "echo \"$1\" > '%1/given'\n"
                                    "echo 'xdg-open: no method available for opening' >&2\n"
                                    "echo 'xdg-open: this line on standard output'\n"
                                    "for i in $(seq 200); do [ -e '%1/go' ] && break; sleep 0.05; "
                                    "done\n"
                                    "exit %2\n")
                         .arg(folder_)
                         .arg(status)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (go_at_once)
            go();
        old_path_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(folder_) + ':' + old_path_);
    }
    ~FakeOpener() { qputenv("PATH", old_path_); }

    void go() const { QFile(folder_ + "/go").open(QIODevice::WriteOnly); }
    QString given() const
    {
        QFile file(folder_ + "/given");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

private:
    QString folder_;
    QByteArray old_path_;
};

const QString guide_box =
    "Warning \"Durnmoor\": The user guide could not be opened.\n%1\n%2 (Ok, default Ok)";

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_start_doc_hook(nullptr); }

    // The tip holds the first 64 characters of the caption, up to a NUL where it has one.
    void tray_tip_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        const QString long_caption = "Durnmoor V1.0  " + QString(60, 'n');
        QTest::newRow("longer than 64") << long_caption << long_caption.left(64);
        QTest::newRow("64") << long_caption.left(64) << long_caption.left(64);
        QTest::newRow("shorter") << "Durnmoor V1.0"
                                 << "Durnmoor V1.0";
        QTest::newRow("NUL inside") << QString("Durnmoor V1.0") + QChar(0) + "  notice"
                                    << "Durnmoor V1.0";
        QTest::newRow("NUL past 64") << long_caption + QChar(0) << long_caption.left(64);
    }
    void tray_tip()
    {
        QFETCH(QString, caption);
        QTEST(durnmoor::tray_tip(caption), "tip");
    }

    // The icon's tip is the window's caption cut to the tip's room.
    void the_icon_tip_is_the_caption_cut()
    {
        WindowFixture f;
        const QString caption = f.window->caption();
        QCOMPARE(f.window->tray().icon().toolTip(), durnmoor::tray_tip(caption));
        QCOMPARE(f.window->tray().icon().toolTip(), caption); // the notice was chosen to fit
    }

    // Whatever else happens on the icon of a hidden window changes nothing; a left click then
    // brings it back in its normal state, through the log-in when protection is on, and a
    // second one on the shown window changes nothing either.
    void only_a_left_click_brings_the_window_back_data()
    {
        QTest::addColumn<Reasons>("before");
        QTest::addColumn<bool>("guarded"); // password protection switched on meanwhile
        QTest::newRow("right click") << Reasons{QSystemTrayIcon::Context} << false;
        QTest::newRow("double click") << Reasons{QSystemTrayIcon::DoubleClick} << false;
        QTest::newRow("middle click") << Reasons{QSystemTrayIcon::MiddleClick} << false;
        QTest::newRow("mouse over") << Reasons{QSystemTrayIcon::Unknown} << false;
        QTest::newRow("all of them, protected")
            << Reasons{QSystemTrayIcon::Unknown, QSystemTrayIcon::Context,
                       QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}
            << true;
    }
    void only_a_left_click_brings_the_window_back()
    {
        QFETCH(Reasons, before);
        QFETCH(bool, guarded);
        WindowFixture f;
        if (guarded) {
            f.env.settings().setValue("Pass/Word", "YES");
            f.env.write_file("security.dat", crlf_lines({"Boss", "Pw", " 1 ", " 1 ", " 1 "}));
        }
        f.window->showMinimized();
        f.window->hide(); // as minimising does where the desktop shows the icon
        const auto state = [&f] {
            return QStringList{f.window->isVisible() ? "shown" : "hidden",
                               f.window->isMinimized() ? "minimised" : "normal",
                               f.window->isEnabled() ? "enabled" : "disabled",
                               open_windows("SettingsPro").isEmpty() ? "" : "log-in"}
                .join(' ')
                .trimmed();
        };
        // Protected, the window is locked on its way out.
        const QString away = guarded ? "hidden minimised disabled" : "hidden minimised enabled";
        for (const QSystemTrayIcon::ActivationReason reason : before) {
            f.window->tray().handle(reason);
            QApplication::processEvents();
            QCOMPARE(state(), away);
        }
        const QString back = guarded ? "shown normal disabled log-in" : "shown normal enabled";
        for (int click : {1, 2}) {
            f.window->tray().handle(QSystemTrayIcon::Trigger);
            QApplication::processEvents();
            QVERIFY2(state() == back, qPrintable(QString("click %1: %2").arg(click).arg(state())));
        }
        QVERIFY(!(f.window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)));
    }

    // Help opens the guide beside the data files or the installed one, by its full path; when
    // there is none, or the desktop cannot open it, the user is told which file and why.
    void help_opens_the_user_guide_data()
    {
        QTest::addColumn<QString>("guide"); // where it is, below the test's folder
        QTest::addColumn<int>("status");    // of the desktop's opener
        QTest::addColumn<QString>("reason");
        QTest::newRow("beside the data") << "durn.rtf" << 0 << "";
        QTest::newRow("installed") << "share/durnmoor/durn.rtf" << 0 << "";
        QTest::newRow("missing") << "" << 0 << "No such file or directory";
        QTest::newRow("no program for it")
            << "durn.rtf" << 3 << "No program is set up to open files of this kind.";
        QTest::newRow("program failed")
            << "durn.rtf" << 4 << "The program set up for files of this kind could not open it.";
        QTest::newRow("vanished") << "durn.rtf" << 2 << "The desktop could not find the file.";
    }
    void help_opens_the_user_guide()
    {
        QFETCH(QString, guide);
        QFETCH(int, status);
        QFETCH(QString, reason);
        TestEnv env;
        const QString data = env.path("data"), program = env.path("bin");
        QDir().mkpath(data);
        QDir().mkpath(program);
        const QString placed = guide == "durn.rtf" ? "data/durn.rtf" : guide;
        const QString path = env.path(placed);
        if (!guide.isEmpty()) {
            QDir().mkpath(QFileInfo(path).path());
            env.write_file(placed, "{\\rtf1 guide}");
        }
        QStringList given;
        set_start_doc_hook([&](const QString &doc) {
            given << doc;
            return status;
        });
        open_user_guide(nullptr, data, program);
        QCOMPARE(given, guide.isEmpty() ? QStringList() : QStringList{path});
        QCOMPARE(shown_messages(), reason.isEmpty()
                                       ? QStringList()
                                       : QStringList{guide_box.arg(
                                             guide.isEmpty() ? data + "/durn.rtf" : path, reason)});
    }

    // The real opener is started without holding the window up, its complaints never reach the
    // terminal, and how it ended is told once it has: here no program for the file.
    void help_through_the_desktop_opener()
    {
        WindowFixture f;
        f.env.write_file("durn.rtf", "{\\rtf1 guide}");
        const FakeOpener opener(f.env, 3, false);
        bool waited = true; // the window held up until the opener ended
        bool told = false;  // of its end
        {
            // Checked after the terminal is back, where a failure can be read.
            const CapturedTerminal terminal(f.env.path("terminal"));
            f.run("helpme");
            QTest::qWait(100);
            waited = !Messages::shown().empty(); // told already: the opener had ended
            opener.go();
            told = QTest::qWaitFor([] { return !Messages::shown().empty(); }, 10000);
        }
        QVERIFY2(!waited, "the window waited for the opener to end");
        QVERIFY(told);
        QCOMPARE(opener.given(), f.env.path("durn.rtf"));
        QCOMPARE(shown_messages(),
                 QStringList{guide_box.arg(f.env.path("durn.rtf"),
                                           "No program is set up to open files of this kind.")});
        QCOMPARE(f.env.read_file("terminal"), std::string());
    }

    // An opener that cannot be started at all is said so too.
    void help_without_an_opener()
    {
        WindowFixture f;
        f.env.write_file("durn.rtf", "{\\rtf1 guide}");
        const QByteArray old_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(f.env.path("nowhere")));
        f.run("helpme");
        qputenv("PATH", old_path);
        QTRY_COMPARE_WITH_TIMEOUT(int(Messages::shown().size()), 1, 10000);
        QVERIFY2(shown_messages().value(0).contains(
                     "\nThe desktop's opener (xdg-open) could not be started: "),
                 qPrintable(shown_messages().value(0)));
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
