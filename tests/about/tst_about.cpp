// The about window over the main window: the credits rising into place, and the link.
#include "about/about_window.h"
#include "app/shell.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    // Every opening starts the credits just below the picture and stops them once their top
    // has passed the top; the link turns red under the pointer and opens the maker's page.
    void scrolls_into_place_over_a_disabled_window()
    {
        QVERIFY(credits_text().startsWith("     Durnmoor\r\n\r\n     Calibration records of "));
        QVERIFY(credits_text().endsWith("\r\n     The Durnmoor founding engineers\r\n"));
        WindowFixture f;
        QStringList opened;
        set_start_doc_hook([&](const QString &doc) {
            opened << doc;
            return 33;
        });
        for (int opening : {1, 2}) {
            f.trigger("aboutit");
            auto *about = static_cast<AboutWindow *>(open_windows("about").value(0));
            QVERIFY2(about, qPrintable(QString::number(opening)));
            QCOMPARE(about->windowTitle(), "About  - Durnmoor");
            QVERIFY(!f.window->isEnabled());
            auto *picture = about->findChild<QWidget *>("Picture1");
            QCOMPARE(int(about->scroll_offset()), picture->height());
            for (int step = 0; step <= picture->height(); ++step) {
                QVERIFY(about->scrolling());
                about->tick();
            }
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
            about->close();
            QVERIFY(open_windows("about").isEmpty() && f.window->isEnabled());
        }
        set_start_doc_hook(nullptr);
        QCOMPARE(opened, (QStringList{maker_address, maker_address}));
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
