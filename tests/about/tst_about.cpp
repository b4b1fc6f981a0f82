// The about window over the main window: the scroll, the link, and the window it disables.
#include "about/about_window.h"
#include "app/shell.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

AboutWindow *about_window()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *about = qobject_cast<AboutWindow *>(w); about && about->isVisible())
            return about;
    return nullptr;
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void credits_lines()
    {
        QCOMPARE(credits_text().split("\r\n"),
                 (QStringList{"     Durnmoor", "",
                              "     Calibration records of test and measuring "
                              "instruments",
                              "", "     Developed by", "     The Durnmoor engineering team", "",
                              "     Designed & Programmed by",
                              "     The Durnmoor founding engineers", ""}));
    }

    void scrolls_into_place_over_a_disabled_window()
    {
        WindowFixture f;
        QStringList opened;
        set_start_doc_hook([&](const QString &doc) {
            opened << doc;
            return 33;
        });
        for (int opening : {1, 2}) {
            f.trigger("aboutit");
            AboutWindow *about = about_window();
            QVERIFY2(about, qPrintable(QString::number(opening)));
            QCOMPARE(about->windowTitle(), QStringLiteral("About  - Durnmoor"));
            QVERIFY(!f.window->isEnabled());
            // Each opening starts the text just below the picture.
            const int start = about->findChild<QWidget *>("Picture1")->height();
            QCOMPARE(int(about->scroll_offset()), start);
            QVERIFY(about->scrolling());
            for (int step = 0; step <= start; ++step)
                about->tick();
            QVERIFY(!about->scrolling());
            QCOMPARE(int(about->scroll_offset()), -1);

            auto *link = about->findChild<QLabel *>("Label1");
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(link, &enter);
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::red));
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(about->findChild<QWidget *>("Picture1"), &move);
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
            QTest::mouseClick(link, Qt::LeftButton);
            about->close();
            QTRY_VERIFY(!about_window());
            QVERIFY(f.window->isEnabled());
        }
        set_start_doc_hook(nullptr);
        QCOMPARE(opened, (QStringList{maker_address, maker_address}));
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
