// The about window over a disabled main window: where it opens, the link, and how it closes.
#include "about/about_window.h"
#include "common/shell.h"
#include "support/window_fixture.h"

#include <QSignalSpy>

using namespace durnmoor;
using namespace durnmoor::test;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    // Centred over the main window; the link hands the browser its web address; Escape closes
    // as the close box does. (The close box while a log-in waits: the log-in's test.)
    void over_the_main_window()
    {
        WindowFixture f;
        f.window->resize(760, 560);
        f.window->move(90, 40);
        QList<QUrl> browsed;
        set_web_address_hook([&](const QUrl &url) {
            browsed << url;
            return true;
        });
        const auto restore = qScopeGuard([] { set_web_address_hook(nullptr); });
        f.run("aboutit");
        auto *about = static_cast<AboutWindow *>(open_windows("about").value(0));
        QVERIFY(about && !f.window->isEnabled());
        const QPoint off = about->frameGeometry().center() - f.window->frameGeometry().center();
        QVERIFY2(off.manhattanLength() <= 4,
                 qPrintable(QString("%1, %2 off the centre").arg(off.x()).arg(off.y())));

        QTest::mouseClick(about->findChild<QLabel *>("Label1"), Qt::LeftButton);
        QCOMPARE(browsed, QList<QUrl>{QUrl(QString::fromLatin1(maker_address))});
        QSignalSpy closed(about, &AboutWindow::closed);
        QTest::keyClick(about, Qt::Key_Escape);
        QCOMPARE(closed.size(), 1);
        QVERIFY(open_windows("about").isEmpty() && f.window->isEnabled());
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
