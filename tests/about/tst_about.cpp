// The about window over a disabled main window: the splash artwork, where it opens, the
// credits rising into place, the link, and how it closes.
#include "about/about_window.h"
#include "common/shell.h"
#include "support/window_fixture.h"

#include <QSignalSpy>

using namespace durnmoor;
using namespace durnmoor::test;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    // Every opening, wherever the main window stands: centred over it, the splash picture
    // whole at the top left, the credits starting just below their box and stopping once
    // their top has passed its top; the link turns red under the pointer and hands the
    // browser its web address; Escape closes as the close box does.
    void over_the_main_window()
    {
        WindowFixture f;
        f.window->resize(760, 560);
        QList<QUrl> browsed;
        set_web_address_hook([&](const QUrl &url) {
            browsed << url;
            return true;
        });
        const auto restore = qScopeGuard([] { set_web_address_hook(nullptr); });
        for (const QPoint main_at : {QPoint(0, 0), QPoint(90, 40)}) {
            f.window->move(main_at);
            QApplication::processEvents();
            f.run("aboutit");
            auto *about = static_cast<AboutWindow *>(open_windows("about").value(0));
            QVERIFY(about && !f.window->isEnabled());
            const QPoint off = about->frameGeometry().center() - f.window->frameGeometry().center();
            QVERIFY2(off.manhattanLength() <= 4,
                     qPrintable(QString("%1, %2 off the centre").arg(off.x()).arg(off.y())));

            const QImage art = about->artwork().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(about->grab().toImage().copy(art.rect()).convertToFormat(QImage::Format_RGB32),
                     art);
            // A missing or blank picture would match a white background all the same.
            int white = 0;
            for (int y = 0; y < art.height(); ++y)
                for (int x = 0; x < art.width(); ++x)
                    white += art.pixelColor(x, y) == QColor(Qt::white);
            QVERIFY2(white < art.width() * art.height() / 2, "mostly white, not the artwork");

            auto *picture = about->findChild<QWidget *>("Picture1");
            QVERIFY(picture->geometry().top() >= art.height());
            QCOMPARE(int(about->scroll_offset()), picture->height());
            for (int step = 0; step <= picture->height(); ++step, about->tick())
                QVERIFY(about->scrolling());
            QCOMPARE(int(about->scroll_offset()), -1);
            QVERIFY(!about->scrolling());

            auto *link = about->findChild<QLabel *>("Label1");
            const auto colour = [link] { return link->palette().color(QPalette::WindowText); };
            QCOMPARE(colour(), QColor(Qt::blue));
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(link, &enter);
            QCOMPARE(colour(), QColor(Qt::red));
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(picture, &move);
            QCOMPARE(colour(), QColor(Qt::blue));
            QTest::mouseClick(link, Qt::LeftButton);

            QSignalSpy closed(about, &AboutWindow::closed);
            if (main_at.isNull())
                QTest::keyClick(about, Qt::Key_Escape);
            else
                about->close(); // what the close box does
            QCOMPARE(closed.size(), 1);
            QVERIFY(open_windows("about").isEmpty() && f.window->isEnabled());
        }
        const QUrl page(QString::fromLatin1(maker_address));
        QCOMPARE(browsed, (QList<QUrl>{page, page}));
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
