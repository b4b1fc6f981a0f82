// The log-in that protection puts in front of the main window, and the rights it sets.
#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

QWidget *login_dialog()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("SettingsPro") && window->isVisible())
            return window;
    return nullptr;
}

// Protection on, these accounts; the window starts as the program starts it.
std::unique_ptr<WindowFixture> protected_window(const std::string &accounts)
{
    return std::make_unique<WindowFixture>(std::string(), std::string(), [&](TestEnv &env) {
        env.settings().setValue("Pass/Word", "YES");
        env.write_file("security.dat", accounts);
    });
}

const std::string accounts = crlf_lines({"Boss", "Pw", " 1 ", " 0 ", " 0 ", "plain", "", "0", "0",
                                         "1", "spaced", "s", " 0 ", " 0 ", " 1 "});

} // namespace

class LogInTest : public QObject {
    Q_OBJECT

private slots:
    void attempt_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("after"); // rights, then Add and the menu item's state
        QTest::newRow("wrong password case") << "Boss"
                                             << "pw"
                                             << "denied";
        QTest::newRow("wrong name case") << "boss"
                                         << "Pw"
                                         << "denied";
        QTest::newRow("maintenance only") << "Boss"
                                          << "Pw"
                                          << " 1 | 0 | 0 : add off, item on";
        QTest::newRow("exactly \"0\" hides the item") << "plain"
                                                      << ""
                                                      << "0|0|1: add on, item hidden";
        QTest::newRow("\" 0 \" only disables it") << "spaced"
                                                  << "s"
                                                  << " 0 | 0 | 1 : add on, item off";
    }
    void attempt()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, after);
        auto f = protected_window(accounts);
        QWidget *dialog = login_dialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Durnmoor Password Protection"));
        QVERIFY(!f->window->isEnabled());
        dialog->findChild<QLineEdit *>("Text2")->setText(name);
        QTest::keyClicks(dialog->findChild<QLineEdit *>("Text1"), password);
        QTest::keyClick(dialog->findChild<QLineEdit *>("Text1"), Qt::Key_Return);
        if (after == "denied") {
            QCOMPARE(shown_messages(), QStringList{"Information \"Durnmoor\": Incorrect Password "
                                                   "Supplied. Access Denied. (Ok, default Ok)"});
            QCOMPARE(login_dialog(), dialog); // still open, boxes as they were
            QCOMPARE(dialog->findChild<QLineEdit *>("Text2")->text(), name);
            QVERIFY(!f->window->isEnabled());
            return;
        }
        QTRY_VERIFY(!login_dialog());
        QVERIFY(f->window->isEnabled());
        const AppState &state = f->window->state();
        auto *item = f->control<QAction>("passwordproena");
        QCOMPARE(QStringList({state.right(1), state.right(2), state.right(3)}).join('|') +
                     ": add " + (f->control<QPushButton>("Command1")->isEnabled() ? "on" : "off") +
                     ", item " +
                     (!item->isVisible()  ? "hidden"
                      : item->isEnabled() ? "on"
                                          : "off"),
                 after);
    }

    void nobody_to_log_in_leaves_the_window_usable_without_editing()
    {
        auto f = protected_window("");
        QVERIFY(!login_dialog());
        QVERIFY(f->window->isEnabled());
        f->trigger("fulllist");
        QVERIFY(!f->control<QPushButton>("Command1")->isEnabled());
    }

    void cancel_or_close_minimises_and_a_restore_asks_again_data()
    {
        QTest::addColumn<bool>("close_box");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close control") << true;
    }
    void cancel_or_close_minimises_and_a_restore_asks_again()
    {
        QFETCH(bool, close_box);
        auto f = protected_window(accounts);
        QWidget *dialog = login_dialog();
        if (close_box)
            dialog->close();
        else
            dialog->findChild<QPushButton *>("Command2")->click();
        QTRY_VERIFY(!login_dialog());
        QVERIFY(f->window->isEnabled());
        QVERIFY(f->window->isMinimized());
        QCOMPARE(f->window->state().right(3), QStringLiteral("0")); // rights unchanged
        f->window->showNormal();
        QTRY_VERIFY(login_dialog());
        QVERIFY(!f->window->isEnabled());
    }
};

QTEST_MAIN(LogInTest)
#include "tst_log_in.moc"
