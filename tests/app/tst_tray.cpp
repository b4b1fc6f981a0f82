// The notification-area icon: its tip, and what each kind of click on it does.
#include "app/tray_icon.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

class TrayTest : public QObject {
    Q_OBJECT

private slots:
    void a_left_click_brings_the_hidden_window_back_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<bool>("restored");
        QTest::newRow("left click") << QSystemTrayIcon::Trigger << true;
        QTest::newRow("right click") << QSystemTrayIcon::Context << false;
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << false;
        QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << false;
    }
    void a_left_click_brings_the_hidden_window_back()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(bool, restored);
        WindowFixture f;
        QVERIFY(f.window->tray().icon().toolTip().startsWith("Durnmoor V1.0  "));
        f.window->showMinimized();
        f.window->hide(); // as minimising does where the desktop shows the icon
        f.window->tray().handle(reason);
        QCOMPARE(f.window->isVisible(), restored);
        if (restored)
            QVERIFY(!f.window->isMinimized());
    }

    void with_protection_the_restore_asks_for_a_log_in()
    {
        WindowFixture f({}, {}, [](TestEnv &env) {
            env.settings().setValue("Pass/Word", "YES");
            env.write_file("security.dat", crlf_lines({"a", "b", " 1 ", " 1 ", " 1 "}));
        });
        QWidget *login = nullptr;
        const auto find_login = [&login] {
            login = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("SettingsPro") && w->isVisible())
                    login = w;
            return login != nullptr;
        };
        QTRY_VERIFY(find_login());
        login->close(); // cancelled: minimised
        QTRY_VERIFY(!find_login());
        f.window->hide();
        f.window->tray().handle(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(find_login());
        QVERIFY(!f.window->isEnabled());
    }
};

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
