// The about window over the main window: its artwork, where it opens, its link and how it
// closes.
#include "about/about_window.h"
#include "app/shell.h"
#include "support/window_fixture.h"

#include <QSignalSpy>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

AboutWindow *open_about(WindowFixture &f)
{
    f.run("aboutit");
    return static_cast<AboutWindow *>(open_windows("about").value(0));
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        set_web_address_hook(nullptr);
        set_start_doc_hook(nullptr);
    }

    // The splash window's picture stands at the top left, whole, on the white background.
    void shows_the_splash_artwork()
    {
        WindowFixture f;
        AboutWindow *about = open_about(f);
        QVERIFY(about);
        const QImage art = about->artwork().toImage();
        QCOMPARE(about->artwork().deviceIndependentSize().toSize(), QSize(420, 200));
        const QImage shown = about->grab().toImage().copy(QRect(QPoint(0, 0), art.size()));
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
                 art.convertToFormat(QImage::Format_RGB32));
        int coloured = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                coloured += shown.pixelColor(x, y) != QColor(Qt::white);
        QVERIFY2(coloured > shown.width() * shown.height() / 2, "mostly white, not the artwork");
        // Below the artwork: the credits, on white, and the link.
        QVERIFY(about->findChild<QWidget *>("Picture1")->geometry().top() >= art.height());
        QCOMPARE(about->palette().color(QPalette::Window), QColor(Qt::white));
    }

    // Wherever the main window stands, the about window opens centred over it.
    void opens_centred_over_the_main_window_data()
    {
        QTest::addColumn<QPoint>("main_at");
        QTest::newRow("top left") << QPoint(0, 0);
        QTest::newRow("moved") << QPoint(90, 40);
    }
    void opens_centred_over_the_main_window()
    {
        QFETCH(QPoint, main_at);
        WindowFixture f;
        f.window->resize(760, 560);
        f.window->move(main_at);
        QApplication::processEvents();
        AboutWindow *about = open_about(f);
        QVERIFY(about);
        const QPoint off = about->frameGeometry().center() - f.window->frameGeometry().center();
        QVERIFY2(off.manhattanLength() <= 4,
                 qPrintable(QString("%1, %2 off the centre").arg(off.x()).arg(off.y())));
    }

    // The link hands the browser its https address itself, never as a file.
    void the_link_opens_the_web_page()
    {
        WindowFixture f;
        QList<QUrl> browsed;
        set_web_address_hook([&](const QUrl &url) {
            browsed << url;
            return true;
        });
        QStringList opened_as_documents;
        set_start_doc_hook([&](const QString &doc) {
            opened_as_documents << doc;
            return 0;
        });
        AboutWindow *about = open_about(f);
        QTest::mouseClick(about->findChild<QLabel *>("Label1"), Qt::LeftButton);
        QCOMPARE(browsed, QList<QUrl>{QUrl("https://durnmoor.example.org")});
        QCOMPARE(browsed.value(0).toString(), QString::fromLatin1(maker_address));
        QVERIFY(!browsed.value(0).isLocalFile());
        QVERIFY(opened_as_documents.isEmpty());
    }

    // Escape closes the window as its close box does: closed once, the main window usable.
    void escape_closes_like_the_close_box_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close box") << false;
    }
    void escape_closes_like_the_close_box()
    {
        QFETCH(bool, escape);
        WindowFixture f;
        AboutWindow *about = open_about(f);
        QVERIFY(about && !f.window->isEnabled());
        QSignalSpy closed(about, &AboutWindow::closed);
        if (escape)
            QTest::keyClick(about, Qt::Key_Escape);
        else
            about->close(); // what the close box does
        QCOMPARE(closed.size(), 1);
        QVERIFY(open_windows("about").isEmpty());
        QVERIFY(f.window->isEnabled());
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
