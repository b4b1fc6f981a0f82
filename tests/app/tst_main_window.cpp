// The main window as it starts: its rights, questions and one-line boxes, and one copy of
// the program per data folder.
#include "access/access_control.h"
#include "app/startup.h"
#include "app/tray_icon.h"
#include "common/app_info.h"
#include "register/products_file.h"
#include "store/single_instance.h"
#include "support/window_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

using namespace durnmoor;
using namespace durnmoor::test;

// An account with every right.
const std::string boss = crlf_lines({"Boss", "Pw", " 1 ", " 1 ", " 1 "});

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The window comes up on the listing with the record fields locked; the protection
    // setting decides who may edit. With nobody to log in, or a protection word neither "YES"
    // nor "NO", no log-in is asked for, and nothing can be added or changed, even once listed.
    void start_follows_the_protection_setting_data()
    {
        QTest::addColumn<QVariant>("word");
        QTest::addColumn<bool>("accounts");
        QTest::addColumn<QString>("rights");
        QTest::addColumn<QString>("buttons"); // the enabled ones among those the right rules
        const QString all = "Command1 Command3 Command13 Command14 Command6";
        // clang-format off
        QTest::newRow("absent") << QVariant() << false << "101" << all;
        QTest::newRow("off") << QVariant("NO") << true << "101" << all;
        QTest::newRow("on, no accounts") << QVariant("YES") << false << "100" << "";
        QTest::newRow("on in small letters") << QVariant("yes") << true << "100" << "";
        // clang-format on
    }
    void start_follows_the_protection_setting()
    {
        QFETCH(QVariant, word);
        QFETCH(bool, accounts);
        WindowFixture f(
            {.security = accounts ? boss : "",
             .settings = word.isValid() ? QVariantMap{{"Pass/Word", word}} : QVariantMap()});
        QVERIFY(open_windows("SettingsPro").isEmpty() && f.window->isEnabled());
        const AccessControl &state = f.window->access();
        QTEST(state.right(1) + state.right(2) + state.right(3), "rights");
        const auto buttons = [&f] {
            return f.enabled_among({"Command1", "Command3", "Command13", "Command14", "Command6"})
                .join(' ');
        };
        QTEST(buttons(), "buttons");
        QCOMPARE(f.form({"Text1", "Text2", "Text6", "Text19", "Text25", "Command4", "Command9",
                         "Command10"}),
                 "listing: ||");
        QVERIFY(f.control<QRadioButton>("Option5")->isChecked() &&
                f.control<QRadioButton>("Option11")->isChecked());
        QCOMPARE(f.text_of("Text6"), "12");
        QVERIFY(f.window->windowTitle().startsWith("Durnmoor V1.0  "));
        // The notification area's tip: the whole caption, whose notice was chosen to fit; a
        // longer one is cut to 64 characters, or at a NUL.
        QCOMPARE(f.window->tray().icon().toolTip(), f.window->caption());
        const QString long_caption = "Durnmoor V1.0  " + QString(60, 'n');
        QCOMPARE(tray_tip(long_caption + QChar(0)), long_caption.left(64));
        QCOMPARE(tray_tip(QString("Durnmoor V1.0") + QChar(0) + "  notice"), "Durnmoor V1.0");
        f.run("fulllist");
        QTEST(buttons(), "buttons");
    }

    // Every single-line box of every window keeps to one line, whether its text is set or
    // pasted: a field is one line in every data file. A box added without the guard fails here.
    void every_single_line_box_keeps_to_one_line()
    {
        int checked = 0;
        const auto check_boxes = [&checked](const QWidgetList &windows) {
            for (QWidget *window : windows) {
                for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
                    const QString name = window->objectName() + '/' + box->objectName() + '/' +
                                         box->parent()->objectName();
                    box->setText("a\r\nb\nc\rd");
                    QVERIFY2(box->text() == "a b c d", qPrintable(name + ": " + box->text()));
                    box->setReadOnly(false);
                    box->clear();
                    QApplication::clipboard()->setText("1\r\n2");
                    box->paste(); // what Ctrl+V and the box's own menu do
                    // (the interval shows what it read as its number: 1)
                    QVERIFY2(box->text() == "1 2" || (name.contains("Text6") && box->text() == "1"),
                             qPrintable(name + ": " + box->text()));
                    ++checked;
                }
            }
        };
        {
            WindowFixture f({.security = boss, .settings = {{"Pass/Word", "YES"}}});
            check_boxes(open_windows("SettingsPro"));
        }
        WindowFixture f;
        f.run("passwordproena");
        check_boxes(f.windows());
        QVERIFY(checked > 40); // the log-in, the account dialog and the four tabs
    }

    // A right click opens the file menu where it belongs (not on a name after "-"); Quit
    // asks, the close box not. (Help's menu item: the shell's test.)
    void menus()
    {
        WindowFixture f;
        auto *menu = f.control<QMenu>("fi");
        for (const QString name : {"SSTab1", "List1", "Command1", "Option8", "Frame2", "Label1",
                                   "-Text31", "-Label31", "-Label4", "-Option1"}) {
            QWidget *widget = name == "SSTab1" ? f.control<QTabWidget>("SSTab1")->tabBar()
                              : name == "List1"
                                  ? f.list()->viewport()
                                  : f.control<QWidget>(qPrintable(name.mid(name.startsWith(u'-'))));
            QTest::mousePress(widget, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
            QVERIFY2(menu->isVisible() != name.startsWith('-'), qPrintable(name));
            menu->hide();
        }

        f.window->close();
        QVERIFY(!f.window->isVisible());
        QVERIFY(Messages::shown().empty());
        f.window->show();
        f.run("No; quit");
        QCOMPARE(shown_messages(),
                 QStringList{"Question \"Durnmoor Quit Program Alert\": Are you sure "
                             "you want to Quit Durnmoor? (Yes|No, default No)"});
        QVERIFY(f.window->isVisible());
        f.run("Yes; quit");
        QVERIFY(!f.window->isVisible());
    }

    // One copy per data folder, however the folder is reached; the lock goes with its holder.
    // It is held on a file of its own that only the owner may open: a lock another user takes
    // on the folder itself stops nothing, and the data files' rewrite locks are not in its way.
    // A second copy says which folder is in use, and ends with no window of its own.
    void one_copy_per_data_folder()
    {
        TestEnv env, other;
        // Should it start after all, its settings and start-up entry stay in the test's folder,
        // and it ends at once.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, env.path("config"));
        // (An empty XDG_CONFIG_HOME is taken as none.)
        const auto restore =
            qScopeGuard([old = qgetenv("XDG_CONFIG_HOME")] { qputenv("XDG_CONFIG_HOME", old); });
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.path("config")));
        const int folder = ::open(QFile::encodeName(env.dir()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(folder >= 0);
        QCOMPARE(::flock(folder, LOCK_EX | LOCK_NB), 0);
        const mode_t mask = ::umask(0);
        auto first = std::make_unique<SingleInstance>(env.dir());
        ::umask(mask);
        ::close(folder);
        QVERIFY(first->acquired());
        struct stat lock {};
        QVERIFY(::stat(qPrintable(env.path("durnmoor.lock")), &lock) == 0 &&
                (lock.st_mode & 07777) == 0600);
        DataFile register_file = DataFile::read_for_rewrite(products_file(env.dir()));
        QVERIFY(register_file.ok() && register_file.replace("1\r\n").ok);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCOMPARE(run_program(*qApp, env.dir()), 0);
        QCOMPARE(
            shown_messages(),
            QStringList{"Information \"Durnmoor\": Another copy of Durnmoor is already using "
                        "the data folder\n" +
                        env.dir() +
                        ".\nOnly one copy at a time may work on its records. (Ok, default Ok)"});
        QVERIFY(!env.exists("history.dat"));
        QCoreApplication::processEvents(); // the quit meant for a copy that started goes
        QVERIFY(!SingleInstance(env.dir() + "/.").acquired());
        QVERIFY(QFile::link(env.dir(), other.path("same folder")));
        QVERIFY(!SingleInstance(other.path("same folder")).acquired());
        QVERIFY(SingleInstance(other.dir()).acquired());
        first.reset();
        QVERIFY(SingleInstance(env.dir()).acquired());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
