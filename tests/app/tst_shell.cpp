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

// Runs what with standard output and error sent to a file, and returns what reached them.
std::string terminal_during(const TestEnv &env, const std::function<void()> &what)
{
    std::fflush(nullptr);
    const int saved[] = {::dup(1), ::dup(2)};
    const int fd = ::open(QFile::encodeName(env.path("terminal")).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    ::close(fd);
    what();
    std::fflush(nullptr);
    for (int out : {1, 2}) {
        ::dup2(saved[out - 1], out);
        ::close(saved[out - 1]);
    }
    return env.read_file("terminal");
}

// A stand-in for xdg-open in folder: it complains on both outputs as the real one does,
// notes the document it was given in folder/given, and ends with status two seconds later.
void put_opener(const QString &folder, int status)
{
    QDir().mkpath(folder);
    QFile script(folder + "/xdg-open");
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1/given'\n"
                                "echo 'xdg-open: no method available for opening' >&2\n"
                                "echo 'xdg-open: this line on standard output'\nsleep 2\nexit %2\n")
                     .arg(folder)
                     .arg(status)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The box's text up to the reason, then the reason.
const QString guide_box = "Warning \"Durnmoor\": The user guide could not be opened.\n%1\n%2";

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

    // The icon's tip is the whole caption, whose notice was chosen to fit. Whatever else
    // happens on the icon of a hidden window changes nothing; a left click then brings it back
    // in its normal state, and a second one on the shown window changes nothing either.
    // (Through the log-in when protection is on: the log-in's test.)
    void only_a_left_click_brings_the_window_back()
    {
        WindowFixture f;
        QCOMPARE(f.window->tray().icon().toolTip(), f.window->caption());
        f.window->showMinimized();
        f.window->hide(); // as minimising does where the desktop shows the icon
        const auto state = [&f] {
            return QStringList{f.window->isVisible() ? "shown" : "hidden",
                               f.window->isMinimized() ? "minimised" : "normal"}
                .join(' ');
        };
        for (const auto reason :
             {QSystemTrayIcon::Unknown, QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick,
              QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Trigger, QSystemTrayIcon::Trigger}) {
            f.window->tray().handle(reason);
            QApplication::processEvents();
            QVERIFY2(state() ==
                         (reason == QSystemTrayIcon::Trigger ? "shown normal" : "hidden minimised"),
                     qPrintable(QString("%1: %2").arg(int(reason)).arg(state())));
        }
        QVERIFY(!(f.window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)));
    }

    // Help opens the guide beside the data files, else the installed one, by its full path;
    // when there is none, or the desktop cannot open it, the user is told which file and why
    // (for the opener's status 3, no program for the file: the next test).
    void help_opens_the_user_guide_data()
    {
        QTest::addColumn<QStringList>("guides"); // where they are, below the test's folder
        QTest::addColumn<int>("status");         // of the desktop's opener
        QTest::addColumn<QString>("reason");
        const QString beside = "data/durn.rtf", installed = "share/durnmoor/durn.rtf";
        QTest::newRow("beside the data") << QStringList{beside} << 0 << "";
        QTest::newRow("installed") << QStringList{installed} << 0 << "";
        QTest::newRow("both") << QStringList{installed, beside} << 0 << "";
        QTest::newRow("missing") << QStringList() << 0 << "No such file or directory";
        QTest::newRow("program failed")
            << QStringList{beside} << 4
            << "The program set up for files of this kind could not open it.";
        QTest::newRow("vanished") << QStringList{beside} << 2
                                  << "The desktop could not find the file.";
    }
    void help_opens_the_user_guide()
    {
        QFETCH(QStringList, guides);
        QFETCH(int, status);
        QFETCH(QString, reason);
        TestEnv env;
        for (const QString &guide : guides) {
            QDir().mkpath(QFileInfo(env.path(guide)).path());
            env.write_file(guide, "{\\rtf1 guide}");
        }
        QStringList given;
        set_start_doc_hook([&](const QString &doc) {
            given << doc;
            return status;
        });
        open_user_guide(nullptr, env.path("data"), env.path("bin"));
        const QString path = env.path(guides.isEmpty() ? "data/durn.rtf" : guides.last());
        QCOMPARE(given, guides.isEmpty() ? QStringList() : QStringList{path});
        QCOMPARE(shown_messages(),
                 reason.isEmpty() ? QStringList()
                                  : QStringList{guide_box.arg(path, reason) + " (Ok, default Ok)"});
    }

    // The desktop's opener is started without holding the window up, its complaints never
    // reach the terminal, and how it ended is told once it has; one that cannot be started at
    // all is said so too.
    void help_through_the_desktop_opener_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("told");
        QTest::newRow("no program for the file")
            << true << "No program is set up to open files of this kind. (Ok, default Ok)";
        QTest::newRow("no opener")
            << false << "The desktop's opener (xdg-open) could not be started: ";
    }
    void help_through_the_desktop_opener()
    {
        QFETCH(bool, installed);
        QFETCH(QString, told);
        WindowFixture f;
        f.env.write_file("durn.rtf", "{\\rtf1 guide}");
        const QString bin = f.env.path("bin");
        if (installed)
            put_opener(bin, 3);
        const QByteArray old_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + (installed ? ':' + old_path : QByteArray()));
        const auto restore = qScopeGuard([&] { qputenv("PATH", old_path); });
        bool waited = true; // the window held up until the opener ended
        // Checked once the terminal is back, where a failure can be read.
        const std::string terminal = terminal_during(f.env, [&] {
            f.run("helpme");
            QTest::qWait(100);
            waited = !Messages::shown().empty(); // told already: the opener had ended
            (void)QTest::qWaitFor([] { return !Messages::shown().empty(); }, 10000);
        });
        QVERIFY2(!installed || !waited, "the window waited for the opener to end");
        QCOMPARE(shown_messages().size(), 1);
        QVERIFY2(shown_messages()[0].startsWith(guide_box.arg(f.env.path("durn.rtf"), told)),
                 qPrintable(shown_messages()[0]));
        if (installed)
            QCOMPARE(f.env.read_file("bin/given"), f.env.path("durn.rtf").toStdString() + '\n');
        QCOMPARE(terminal, std::string());
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
