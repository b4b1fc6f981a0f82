// The shell around the main window: the notification-area icon's tip and clicks.
#include "app/app_info.h"
#include "app/tray_icon.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

using Reasons = QList<QSystemTrayIcon::ActivationReason>;

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
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
        const QString caption = f.window->state().caption_text;
        QVERIFY(caption.size() > 64);
        QCOMPARE(f.window->tray().icon().toolTip(), caption.left(64));
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
        for (const QSystemTrayIcon::ActivationReason reason : before) {
            f.window->tray().handle(reason);
            QApplication::processEvents();
            QCOMPARE(state(), "hidden minimised enabled");
        }
        const QString back = guarded ? "shown normal disabled log-in" : "shown normal enabled";
        for (int click : {1, 2}) {
            f.window->tray().handle(QSystemTrayIcon::Trigger);
            QApplication::processEvents();
            QVERIFY2(state() == back, qPrintable(QString("click %1: %2").arg(click).arg(state())));
        }
        QVERIFY(!(f.window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)));
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
