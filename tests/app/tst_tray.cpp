// The notification-area icon: its tip, and which click on it brings the window back.
#include "app/tray_icon.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

class TrayTest : public QObject {
    Q_OBJECT

private slots:
    void only_a_left_click_restores_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<bool>("restored");
        QTest::newRow("left click") << QSystemTrayIcon::Trigger << true;
        QTest::newRow("right click") << QSystemTrayIcon::Context << false;
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << false;
        QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << false;
    }
    void only_a_left_click_restores()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(bool, restored);
        WindowFixture f;
        QVERIFY(f.window->tray().icon().toolTip().startsWith("Durnmoor V1.0  "));
        f.window->showMinimized();
        f.window->hide(); // as minimising does where the desktop shows the icon
        f.window->tray().handle(reason);
        QCOMPARE(f.window->isVisible(), restored);
        QVERIFY(!restored || !f.window->isMinimized());
    }
};

QTEST_MAIN(TrayTest)
#include "tst_tray.moc"
