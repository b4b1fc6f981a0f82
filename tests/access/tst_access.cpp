// Numbers kept as text, "Durnmoor Authorisation Setup " driven through its controls, and the
// log-in that protection puts in front of the main window.
#include "access/account_dialog.h"
#include "access/accounts_file.h"
#include "access/autostart.h"
#include "access/settings_store.h"
#include "app/tray_icon.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(std::string)

namespace {

const std::string accounts =
    crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 ", "amy", "a", " 1 ", " 1 ", " 1 "});

QWidget *log_in()
{
    return open_windows("SettingsPro").value(0);
}

// Protection on, with these accounts; the window starts as the program starts it.
const std::string log_ins = crlf_lines({"Boss", "Pw", " 1 ", " 0 ", " 0 ", "plain", "", "0", "0",
                                        "1", "spaced", "s", " 0 ", " 0 ", " 1 "});

std::unique_ptr<WindowFixture> protected_window()
{
    return std::make_unique<WindowFixture>(std::string(), std::string(), [](TestEnv &env) {
        env.settings().setValue("Pass/Word", "YES");
        env.write_file("security.dat", log_ins);
    });
}

} // namespace

class AccessTest : public QObject {
    Q_OBJECT

private slots:
    // A tick box is ticked by a leading 1; a stored option is the whole text as a 16-bit whole
    // number, halves to even, and anything else leaves the value it was to replace.
    void numbers_kept_as_text_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<int>("option"); // -1000: refused
        // clang-format off
        QTest::newRow("flag") << " 1 " << true << 1;
        QTest::newRow("one with a point") << "1.0" << true << 1;
        QTest::newRow("one, then letters") << "1x" << true << -1000;
        QTest::newRow("unticked") << " 0 " << false << 0;
        QTest::newRow("empty") << "" << false << -1000;
        QTest::newRow("two") << "2" << false << 2;
        QTest::newRow("half down to even") << "10.5" << false << 10;
        QTest::newRow("half up to even") << "3.5" << false << 4;
        QTest::newRow("least") << "-32768" << false << -32768;
        QTest::newRow("too large") << "40000" << false << -1000;
        // clang-format on
    }
    void numbers_kept_as_text()
    {
        QFETCH(QString, text);
        QTEST(flag_ticked(text.toStdString()), "ticked");
        QTEST(int(to_short(text).value_or(-1000)), "option");
    }

    // A cut last account reads padded, its missing flags withholding the rights, and is
    // written back padded.
    void cut_last_account()
    {
        const AccountsData cut(crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 "}) + "Dan\r\npw\r\n");
        QCOMPARE(cut.find_account("Dan")->edit, std::string());
        QCOMPARE(cut.with_saved({"Eve", "", " 0 ", " 0 ", " 0 "}).bytes(),
                 crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 ", "Dan", "pw", "", "", "", "Eve", "",
                             " 0 ", " 0 ", " 0 "}));
    }

    // "Durnmoor Authorisation Setup " opened from the menu. The options show what is stored
    // and the start-up entry as it is, and are stored however the dialog closes; a right ticks
    // the rights it implies; the first test of an entry that holds decides, and only a valid
    // entry is written; the chooser names the account to delete.
    void account_dialog_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("shown");  // Text3|Text1|Text2|Text11, then Check1 to Check6
        QTest::addColumn<QString>("stored"); // once closed: protection, reminder, days, start-up
        const QString info = "Information \"Durnmoor\": ", warning = "Warning \"Durnmoor\": ",
                      ok = " (Ok, default Ok)";
        const QString restart = info +
                                "You will need to QUIT Durnmoor and restart the Program to "
                                "reinitialise Auto-Calibration Due-Date Reminder." +
                                ok;
        const QString passwords =
            warning +
            "You have entered TWO different passwords. Please "
            "re-enter your *NEW* password, and verify it by re-entering the same password on the "
            "next box." +
            ok;
        const QString remove =
            "Information \"Durnmoor Removal of User Authorisation\": Are you "
            "sure you want to DELETE this user from Durnmoor Account Administration (user will "
            "not longer be able to access any of Durnmoor's Data? (Yes|No, default No)";
        // clang-format off
        QTest::newRow("options stored, shown again") << "Check6; Text11=10.5 days; Check5; Check1; "
            "Command2; passwordproena" << accounts << restart << "|||10 100011"
            << "YES 1 10.5 started";
        QTest::newRow("options cleared, stored on closing") << "Check6; Check5; Command2; "
            "passwordproena; Check5; Check6; Text11=abc; Command2" << accounts << restart << ""
            << "NO 0 0 not started";
        QTest::newRow("edit ticks all three on an empty form") << "Check3" << accounts << ""
            << "|||7 011100" << "";
        QTest::newRow("unticking touches no other box") << "Check3; Check3" << accounts << ""
            << "|||7 010100" << "";
        QTest::newRow("chosen: as stored, the password must be given again")
            << "Combo1=Zed; Command1" << accounts << passwords << "Zed|pw||7 010100" << "";
        QTest::newRow("protection, no password") << "Check1; Command1" << accounts
            << warning + "You cannot have password-protection on, without having a password. "
               "Please enter a password and verify it, or un-check the protection." + ok
            << "|||7 100000" << "";
        QTest::newRow("protection, no name") << "Check1; Text1=p; Text2=p; Command1" << accounts
            << warning + "No Username entered." + ok << "|p|p|7 100000" << "";
        QTest::newRow("no name") << "Text1=p; Text2=p; Command1" << accounts << warning +
            "You have to have a Username to create a Password-Authorisation Account." + ok
            << "|p|p|7 000000" << "";
        QTest::newRow("passwords differ") << "Text3=Al; Text1=p; Text2=q; Command1" << accounts
            << passwords << "Al|p|q|7 000000" << "";
        QTest::newRow("name in another case appended") << "Text3=AMY; Command1"
            << accounts + crlf_lines({"AMY", "", " 0 ", " 0 ", " 0 "}) << "" << "|||7 000000" << "";
        QTest::newRow("existing name replaced in its place")
            << "Check1; Text3=Zed; Text1=n; Text2=n; Command1"
            << crlf_lines({"Zed", "n", " 0 ", " 0 ", " 0 ", "amy", "a", " 1 ", " 1 ", " 1 "}) << ""
            << "|||7 100000" << "";
        // A pasted name once made a record of six lines: an account "x" with password "x"
        // and every right.
        QTest::newRow("pasted line breaks in a name become blanks") << "paste Text3=x\nx\n 1 \n 1 "
            "\n 1 \ny; Command1" << accounts + crlf_lines({"x x  1   1   1  y", "", " 0 ", " 0 ",
            " 0 "}) << "" << "|||7 000000" << "";
        QTest::newRow("a password ending in a line break keeps its place") << "Combo1=Zed; "
            "paste Text1=new\r\n; paste Text2=new\n; Command1" << crlf_lines({"Zed", "new ",
            " 0 ", " 1 ", " 1 ", "amy", "a", " 1 ", " 1 ", " 1 "}) << "" << "|||7 000000" << "";
        QTest::newRow("delete, nobody chosen") << "Yes; Command3" << accounts << remove
            << "|||7 000000" << "";
        QTest::newRow("delete answered No") << "Combo1=Zed; No; Command3" << accounts << remove
            << "Zed|pw||7 010100" << "";
        QTest::newRow("delete answered Yes") << "Combo1=Zed; Yes; Command3"
            << crlf_lines({"amy", "a", " 1 ", " 1 ", " 1 "}) << remove << "|||7 000000" << "";
        // clang-format on
    }
    void account_dialog()
    {
        QFETCH(QString, steps);
        QFETCH(QString, stored);
        WindowFixture f({}, {}, [](TestEnv &env) { env.write_file("security.dat", accounts); });
        f.run("passwordproena");
        QCOMPARE(f.windows().constFirst()->windowTitle(), "Durnmoor Authorisation Setup ");
        auto *chooser = f.control<QComboBox>("Combo1");
        QCOMPARE(chooser->currentText() + ": " + chooser->itemText(0) + ' ' + chooser->itemText(1),
                 "Choose User: amy Zed");

        f.run(steps);

        QTEST(f.env.read_file("security.dat"), "file");
        QTEST(shown_messages().join('|'), "messages");
        QString shown; // the dialog's boxes, while it is open
        if (!open_windows("password").isEmpty()) {
            shown = QStringList({f.text_of("Text3"), f.text_of("Text1"), f.text_of("Text2"),
                                 f.text_of("Text11") + ' '})
                        .join('|');
            for (const char *box : {"Check1", "Check2", "Check3", "Check4", "Check5", "Check6"})
                shown += f.control<QCheckBox>(box)->isChecked() ? '1' : '0';
        }
        QTEST(shown, "shown");
        const bool started = f.env.read_file("autostart/durnmoor.desktop")
                                 .find("Exec=\"/opt/my apps/durnmoor\"\n") != std::string::npos;
        QSettings &settings = f.env.settings();
        if (!stored.isEmpty())
            QCOMPARE(settings.value("Pass/Word").toString() + ' ' +
                         settings.value("Reminder/On").toString() + ' ' +
                         settings.value("Reminder/Days").toString() +
                         (started ? " started" : " not started"),
                     stored);
    }

    void log_in_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("after"); // rights, then Add and the menu item's state
        // clang-format off
        QTest::newRow("password in another case") << "Boss" << "pw" << "denied";
        QTest::newRow("name in another case") << "boss" << "Pw" << "denied";
        QTest::newRow("name with a blank") << "Boss " << "Pw" << "denied";
        QTest::newRow("another account's password") << "plain" << "Pw" << "denied";
        QTest::newRow("maintenance only") << "Boss" << "Pw" << " 1 | 0 | 0 : add off, item on";
        QTest::newRow("exactly \"0\" hides the item") << "plain" << "" << "0|0|1: add on, item hidden";
        QTest::newRow("\" 0 \" only disables it") << "spaced" << "s" << " 0 | 0 | 1 : add on, item off";
        // clang-format on
    }
    void log_in()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, after);
        auto f = protected_window();
        QWidget *dialog = ::log_in();
        QVERIFY(dialog && !f->window->isEnabled());
        QCOMPARE(dialog->windowTitle(), "Durnmoor Password Protection");
        f->run("Text2=" + name + "; Return");
        QTest::keyClicks(dialog->focusWidget(), password); // Enter moved on to the password
        f->run("Return");
        if (after == "denied") {
            QCOMPARE(shown_messages(), QStringList{"Information \"Durnmoor\": Incorrect Password "
                                                   "Supplied. Access Denied. (Ok, default Ok)"});
            QCOMPARE(::log_in(), dialog); // still open, as it was
            QCOMPARE(f->text_of("Text2"), name);
            QVERIFY(!f->window->isEnabled());
            return;
        }
        QTRY_VERIFY(!::log_in());
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

    // Cancelled, the window is minimised, usable but as locked as before; restored, by itself or
    // from the notification area, it asks again.
    void cancelled_log_in_asks_again_on_restore_data()
    {
        QTest::addColumn<bool>("close_box");
        QTest::newRow("Cancel, restored") << false;
        QTest::newRow("close control, restored from the notification area") << true;
    }
    void cancelled_log_in_asks_again_on_restore()
    {
        QFETCH(bool, close_box);
        auto f = protected_window();
        f->run(close_box ? "close" : "Command2");
        QTRY_VERIFY(!::log_in());
        QVERIFY(f->window->isEnabled() && f->window->isMinimized());
        QCOMPARE(f->window->state().right(3), "0");
        if (close_box) {
            f->window->hide(); // as minimising does where the desktop shows the icon
            f->window->tray().handle(QSystemTrayIcon::Trigger);
        } else {
            f->window->showNormal();
        }
        QTRY_VERIFY(::log_in());
        QVERIFY(!f->window->isEnabled());
    }
};

QTEST_MAIN(AccessTest)
#include "tst_access.moc"
