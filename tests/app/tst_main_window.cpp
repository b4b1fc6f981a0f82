#include "app/message_box.h"
#include "app/shell.h"
#include "app/twin_file.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

void right_click(QWidget *widget)
{
    QTest::mousePress(widget, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseRelease(widget, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void starts_with_caption_tabs_and_an_empty_register()
    {
        WindowFixture f;
        QVERIFY(f.window->windowTitle().startsWith(QStringLiteral("Durnmoor V1.0  ")));
        auto *tabs = f.control<QTabWidget>("SSTab1");
        QVERIFY(tabs);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{"Product Listing", "Address Book", "Product Details",
                                        "Product Calibration History"}));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(f.env.exists("products.dat"));
        QCOMPARE(f.list()->count(), 0);
        QVERIFY(f.control<QRadioButton>("Option5")->isChecked());
        QVERIFY(f.control<QRadioButton>("Option11")->isChecked());
        // Record fields locked until the user adds or edits.
        for (const char *name : {"Text1", "Text2", "Text6", "Text19", "Text25"})
            QVERIFY2(!f.control<QLineEdit>(name)->isEnabled(), name);
        QVERIFY(!f.control<QPushButton>("Command4")->isEnabled());
        QVERIFY(!f.control<QPushButton>("Command9")->isEnabled());
        QVERIFY(!f.control<QPushButton>("Command10")->isEnabled());
        QCOMPARE(f.control<QLineEdit>("Text6")->text(), QStringLiteral("12"));
    }

    void menus_have_every_item()
    {
        WindowFixture f;
        const QList<std::pair<const char *, const char *>> items{
            {"printlisted", "Print Listed Items"},
            {"fulllist", "Full Listing"},
            {"listobsol", "List Obsolete Instruments"},
            {"listava", "List Available Instruments"},
            {"aboutit", "&About"},
            {"helpme", "&Help"},
            {"quit", "&Quit"},
            {"passwordproena", "Password Account Maintenance"},
            {"fi", "File"},
            {"listinst", "List Instruments..."},
            {"options", "Options"}};
        for (const auto &[name, caption] : items) {
            auto *action = f.control<QAction>(name);
            auto *menu = f.control<QMenu>(name);
            QCOMPARE(action ? action->text()
                     : menu ? menu->title()
                            : name,
                     QString::fromLatin1(caption));
        }
    }

    void every_entry_box_is_named_by_its_label()
    {
        WindowFixture f;
        QStringList named;
        for (auto *label : f.window->findChildren<QLabel *>())
            if (label->buddy())
                named << label->buddy()->objectName();
        for (const char *box :
             {"Text1",  "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text7",
              "Text8",  "Text9",  "Text10", "Text12", "Text13", "Text14", "Text15",
              "Text16", "Text17", "Text18", "Text19", "Text20", "Text21", "Text22",
              "Text23", "Text24", "Text25", "Text26", "Text27", "Text28", "Text29",
              "Text30", "Text31", "Combo1", "Combo2", "Combo7"})
            QVERIFY2(named.contains(QString::fromLatin1(box)), box);
    }

    void start_rights_follow_the_protection_setting_data()
    {
        QTest::addColumn<QVariant>("word");
        QTest::addColumn<QString>("edit_right");
        QTest::newRow("absent") << QVariant() << "1";
        QTest::newRow("off") << QVariant("NO") << "1";
        QTest::newRow("on") << QVariant("YES") << "0";
    }

    void start_rights_follow_the_protection_setting()
    {
        QFETCH(QVariant, word);
        QFETCH(QString, edit_right);
        TestEnv env;
        if (word.isValid())
            env.settings().setValue("Pass/Word", word);
        MainWindow window(AppContext{env.dir(), &env.settings()});
        window.load_form();
        window.apply_start_rights();
        QCOMPARE(window.state().right(1), QStringLiteral("1"));
        QCOMPARE(window.state().right(2), QStringLiteral("0"));
        QCOMPARE(window.state().right(3), edit_right);
    }

    void right_click_opens_the_file_menu_only_where_it_belongs()
    {
        WindowFixture f;
        auto *menu = f.control<QMenu>("fi");
        const QList<QWidget *> with_menu{f.control<QTabWidget>("SSTab1")->tabBar(),
                                         f.list()->viewport(),
                                         f.control<QPushButton>("Command1"),
                                         f.control<QRadioButton>("Option8"),
                                         f.control<QGroupBox>("Frame2"),
                                         f.control<QLabel>("Label1")};
        for (QWidget *widget : with_menu) {
            QVERIFY(widget);
            right_click(widget);
            QTRY_VERIFY2(menu->isVisible(), qPrintable(widget->objectName()));
            menu->hide();
        }
        const QList<QWidget *> without_menu{
            f.control<QLineEdit>("Text31"), f.control<QLabel>("Label31"),
            f.control<QLabel>("Label4"), f.control<QRadioButton>("Option1")};
        for (QWidget *widget : without_menu) {
            QVERIFY(widget);
            right_click(widget);
            QVERIFY2(!menu->isVisible(), qPrintable(widget->objectName()));
        }
    }

    void quit_asks_and_no_keeps_the_window()
    {
        WindowFixture f;
        Messages::queue_answer(QMessageBox::No);
        f.trigger("quit");
        QCOMPARE(shown_messages(),
                 QStringList{"Question \"Durnmoor Quit Program Alert\": Are you sure "
                             "you want to Quit Durnmoor? (Yes|No, default No)"});
        QVERIFY(f.window->isVisible());

        Messages::queue_answer(QMessageBox::Yes);
        f.trigger("quit");
        QVERIFY(!f.window->isVisible());
    }

    // A register that cannot be read is said so, shows nothing and is never rewritten; the
    // window still comes up. A FIFO would block the start for ever if it were opened.
    void start_with_a_register_that_cannot_be_read_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused") << "refused" << QString::fromLocal8Bit(strerror(EACCES));
        QTest::newRow("fifo") << "fifo"
                              << "It is not a regular file.";
        QTest::newRow("folder") << "folder"
                                << "It is not a regular file.";
    }
    void start_with_a_register_that_cannot_be_read()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const std::string kept = file_of({make_record({"A-1", "Kept"})});
        WindowFixture f(kind == "refused" ? kept : std::string(), {}, [&](TestEnv &env) {
            const QByteArray path = QFile::encodeName(env.path("products.dat"));
            if (kind == "refused")
                set_file_fault([](FileStep step, const QString &name) {
                    return step == FileStep::open && name == "products.dat" ? EACCES : 0;
                });
            else if (kind == "fifo")
                QCOMPARE(::mkfifo(path.constData(), 0600), 0);
            else
                QVERIFY(QDir().mkdir(env.path("products.dat")));
        });
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.list()->count(), 0);
        f.run("Command1; Text1=N-1; Command4");
        const QString box =
            "Warning \"Durnmoor\": products.dat could not be read%1\nproducts.dat: " + reason +
            "%2 (Ok, default Ok)";
        QCOMPARE(shown_messages(),
                 (QStringList{box.arg(".", "\nNothing of it is shown, and it will not be changed "
                                           "until it can be read again."),
                              box.arg(", so it has not been changed.", "")}));
        if (kind == "refused")
            QCOMPARE(f.products(), kept);
    }

    void close_box_asks_nothing()
    {
        WindowFixture f;
        f.window->close();
        QVERIFY(!f.window->isVisible());
        QVERIFY(Messages::shown().empty());
    }

    void help_opens_the_guide_beside_the_program()
    {
        WindowFixture f;
        QStringList opened;
        set_start_doc_hook([&](const QString &doc) {
            opened << doc;
            return 33;
        });
        f.trigger("helpme"); // no guide: nothing happens
        QVERIFY(opened.isEmpty());
        f.env.write_file("durn.rtf", "{\\rtf1 guide}");
        f.trigger("helpme");
        QCOMPARE(opened, QStringList{f.env.path("durn.rtf")});
        set_start_doc_hook(nullptr);
        QVERIFY(Messages::shown().empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
