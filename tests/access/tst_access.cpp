// "Durnmoor Authorisation Setup " driven through its controls, and the log-in that
// protection puts in front of the main window.
#include "access/access_control.h"
#include "access/accounts_file.h"
#include "access/login_throttle.h"
#include "app/tray_icon.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const std::string accounts =
    crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 ", "amy", "a", " 1 ", " 1 ", " 1 "});

// Accounts for the log-in: each right as other tools write it, and exactly "0", which hides
// what " 0 " only disables.
const std::string log_ins = crlf_lines({"Boss", "Pw", " 1 ", " 0 ", " 0 ", "plain", "", "0", "0",
                                        "1", "spaced", "s", " 0 ", " 0 ", " 1 "});

QWidget *log_in()
{
    return open_windows("SettingsPro").value(0);
}

// Types a name and a password into the log-in in front, as a user would: Enter moves on from
// the name to the password.
void type_log_in(WindowFixture &f, const QString &name, const QString &password)
{
    QWidget *dialog = log_in();
    QVERIFY(dialog);
    f.run("Text2=" + name + "; Return");
    QTest::keyClicks(dialog->focusWidget(), password);
    QCOMPARE(dialog->findChild<QLineEdit *>("Text1")->displayText(), QString(password.size(), '*'));
    f.run("Return");
}

void log_in_as(WindowFixture &f, const QString &name, const QString &password)
{
    QTRY_COMPARE(QApplication::activeWindow(), log_in()); // in front, with the focus
    type_log_in(f, name, password);
    QTRY_VERIFY(!log_in());
}

// Protection on, with these accounts.
StartWith protected_start(const std::string &security = log_ins)
{
    return {.security = security, .settings = {{"Pass/Word", "YES"}}};
}

QString rights(const WindowFixture &f)
{
    const AccessControl &state = f.window->access();
    return QStringList({state.right(1), state.right(2), state.right(3)}).join('|');
}

} // namespace

class AccessTest : public QObject {
    Q_OBJECT

private slots:
    // "Durnmoor Authorisation Setup " opened from the menu. The options show what is stored
    // and the start-up entry as it is, and are stored however the dialog closes; a right ticks
    // the rights it implies; the first test of an entry that holds decides, and only a valid
    // entry is written; the chooser, listing the accounts only, names the account to delete.
    void account_dialog_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("shown");  // Text3|Text1|Text2|Text11, then Check1 to Check6
        QTest::addColumn<QString>("stored"); // once closed: protection, reminder, days, start-up
        const QString info = "Information \"Durnmoor\": ", warning = "Warning \"Durnmoor\": ";
        const QString ok = " (Ok, default Ok)";
        const QString restart = info +
                                "You will need to QUIT Durnmoor and restart the Program to "
                                "reinitialise Auto-Calibration Due-Date Reminder." +
                                ok;
        const QString passwords =
            warning +
            "You have entered TWO different passwords. Please re-enter your *NEW* "
            "password, and verify it by re-entering the same password on the next box." +
            ok;
        const QString remove =
            "Information \"Durnmoor Removal of User Authorisation\": Are you sure you want to "
            "DELETE this user from Durnmoor Account Administration (user will not longer be able "
            "to access any of Durnmoor's Data? (Yes|No, default No)";
        // clang-format off
        for (const char *close : {"Command2", "close", "Escape"})
            QTest::newRow(qPrintable(QString("options stored by ") + close))
                << "Check6; Text11=10.5 days; Check5; Check1; " + QString(close) + "; passwordproena"
                << accounts << restart << "|||10 100011" << "YES 1 10.5 started";
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
        QTest::newRow("no name") << "Text1=p; Text2=p; Command1" << accounts
            << warning + "You have to have a Username to create a Password-Authorisation Account." +
               ok << "|p|p|7 000000" << "";
        QTest::newRow("passwords differ") << "Text3=Al; Text1=p; Text2=q; Command1" << accounts
            << passwords << "Al|p|q|7 000000" << "";
        QTest::newRow("name in another case appended") << "Text3=AMY; Command1"
            << accounts + crlf_lines({"AMY", "", " 0 ", " 0 ", " 0 "}) << "" << "|||7 000000" << "";
        QTest::newRow("existing name replaced in its place")
            << "Check1; Text3=Zed; Text1=n; Text2=n; Command1"
            << crlf_lines({"Zed", "n", " 0 ", " 0 ", " 0 ", "amy", "a", " 1 ", " 1 ", " 1 "}) << ""
            << "|||7 100000" << "";
        QTest::newRow("delete, nobody chosen") << "Yes; Command3" << accounts << remove
            << "|||7 000000" << "";
        QTest::newRow("delete answered No") << "Combo1=Zed; No; Command3" << accounts << remove
            << "Zed|pw||7 010100" << "";
        // Typed text, even an account's name, chooses nothing and adds nothing, but it names
        // the account "Delete User" removes.
        QTest::newRow("an account's name typed") << "type Combo1=amy; Return" << accounts << ""
            << "|||7 000000" << "";
        QTest::newRow("deleted by a typed name") << "type Combo1=amy; Yes; Command3"
            << crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 "}) << remove << "|||7 000000" << "";
        QTest::newRow("delete answered Yes") << "Combo1=Zed; Yes; Command3"
            << crlf_lines({"amy", "a", " 1 ", " 1 ", " 1 "}) << remove << "|||7 000000" << "";
        // clang-format on
    }
    void account_dialog()
    {
        QFETCH(QString, steps);
        QFETCH(QString, stored);
        WindowFixture f({.security = accounts});
        f.run("passwordproena; " + steps);
        QTEST(f.env.read_file("security.dat"), "file");
        QTEST(shown_messages().join('|'), "messages");
        QString shown; // the dialog's boxes, while it is open
        if (!open_windows("password").isEmpty()) {
            // The chooser lists the accounts of the file only, whatever was typed into it, once
            // the focus leaves it.
            emit f.control<QComboBox>("Combo1")->lineEdit()->editingFinished();
            QStringList names;
            for (const std::string &name : AccountsData(f.env.read_file("security.dat")).names())
                names << QString::fromStdString(name);
            std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            });
            QCOMPARE(f.lines_of("Combo1"), names);
            for (const char *box : {"Text3", "Text1", "Text2"})
                shown += f.text_of(box) + '|';
            shown += f.text_of("Text11") + ' ';
            for (const char *box : {"Check1", "Check2", "Check3", "Check4", "Check5", "Check6"})
                shown += f.control<QCheckBox>(box)->isChecked() ? '1' : '0';
            for (const char *password : {"Text1", "Text2"}) // every character shown as "*"
                QCOMPARE(f.control<QLineEdit>(password)->displayText(),
                         QString(f.text_of(password).size(), '*'));
        }
        QTEST(shown, "shown");
        const bool started = f.env.read_file("autostart/durnmoor.desktop")
                                 .find("Exec=\"/opt/my apps/durnmoor\"\n") != std::string::npos;
        QSettings &settings = f.env.settings();
        if (!stored.isEmpty())
            QCOMPARE(QStringList({settings.value("Pass/Word").toString(),
                                  settings.value("Reminder/On").toString(),
                                  settings.value("Reminder/Days").toString(),
                                  started ? "started" : "not started"})
                         .join(' '),
                     stored);
    }

    // The edit right guards every way in that changes a file, not only the instrument list:
    // the same steps that change the file for an account with the right leave it byte for
    // byte as it was for one without, who finds each button in brackets disabled.
    void edit_right_guards_every_change_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("file");
        const QString add = "Combo7=!!Add New Contact to List; ";
        // clang-format off
        QTest::newRow("result corrected") << "row=0; tab=3; history double-click=0; "
            "Text26=changed; Yes; [Command10]" << "history.dat";
        QTest::newRow("calibration recorded") << "double-click=0; tab=3; [Command9]; Text26=new; "
            "Yes; [Command10]" << "history.dat";
        QTest::newRow("calibration removed") << "row=0; tab=3; history row=0; [Command11]"
            << "history.dat";
        QTest::newRow("contact added") << add + "Text7=New Co; [Command5]" << "contacts.dat";
        QTest::newRow("contact edited")
            << "Combo7=Acme; [Command12]; Text8=Someone; Yes; [Command5]" << "contacts.dat";
        QTest::newRow("contact removed") << "Combo7=Acme; Yes; [Command6]" << "contacts.dat";
        QTest::newRow("instrument edited") << "double-click=0; Text2=Other; Yes; [Command4]"
            << "products.dat";
        QTest::newRow("instrument added") << "[Command1]; Text1=N-2; [Command4]" << "products.dat";
        QTest::newRow("instruments deleted") << "row=0; Yes; [Command3]" << "products.dat";
        // clang-format on
    }
    void edit_right_guards_every_change()
    {
        QFETCH(QString, steps);
        QFETCH(QString, file);
        for (const QString account : {"Editor", "Reader"}) {
            StartWith start = protected_start(crlf_lines(
                {"Editor", "e", " 0 ", " 1 ", " 1 ", "Reader", "r", " 0 ", " 1 ", " 0 "}));
            start.products = file_of({make_record({"N-1", "Meter"})});
            start.history = crlf_lines({"N-1", "01/02/2026", "10", "#1RESULT", "ok", "#2RESULT"});
            start.contacts = crlf_lines({"Acme", "Ann", "", "", "", "", "", "", "", "", "", ""});
            WindowFixture f(start);
            log_in_as(f, account, account.left(1).toLower());
            const std::string before = f.env.read_file(file);
            const QRegularExpression guarded("\\[(\\w+)\\]");
            f.run(QString(steps).replace(guarded, account == "Editor" ? "\\1" : "disabled \\1"));
            Messages::clear();
            QVERIFY2((f.env.read_file(file) != before) == (account == "Editor"),
                     qPrintable(account));
        }
    }

    // A log-in taken gives the account's rights as its file holds them. One refused, whatever
    // the accounts file holds, leaves the log-in open as it was over a window that takes no
    // input; its message belongs to the log-in, which keeps the focus, and the next attempt
    // is taken only after a wait that doubles with each failure in a row, which a new dialog
    // does not start afresh.
    void log_in_data()
    {
        QTest::addColumn<std::string>("security");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("after"); // rights, then Add and the menu item's state
        const auto row = [](const char *tag, const char *name, const char *password,
                            const char *after, const std::string &security = log_ins) {
            QTest::newRow(tag) << security << QString(name) << QString(password) << QString(after);
        };
        // clang-format off
        row("password in another case", "Boss", "pw", "denied");
        row("name in another case", "boss", "Pw", "denied");
        row("name with a blank", "Boss ", "Pw", "denied");
        row("another account's password", "plain", "Pw", "denied");
        row("maintenance only", "Boss", "Pw", " 1 | 0 | 0 : add off, item on");
        row("exactly 0 hides the item", "plain", "", "0|0|1: add on, item hidden");
        row("\" 0 \" only disables it", "spaced", "s", " 0 | 0 | 1 : add on, item off");
        row("blank lines only", "nobody", "", "denied", "\r\n\r\n\r\n");
        // Read padded, a last account cut short has no rights.
        row("a record cut short", "Dan", "pw", "||: add off, item off",
            crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 "}) + "Dan\r\npw\r\n");
        // clang-format on
    }
    void log_in()
    {
        QFETCH(std::string, security);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, after);
        set_login_waits(std::chrono::milliseconds(40));
        const auto restore = qScopeGuard([] { set_login_waits(std::nullopt); });
        WindowFixture f(protected_start(security));
        auto *dialog = qobject_cast<QDialog *>(::log_in());
        QVERIFY(dialog && !f.window->isEnabled());
        QCOMPARE(dialog->windowHandle()->transientParent(), f.window->windowHandle());
        type_log_in(f, name, password);
        if (after != "denied") {
            QTRY_VERIFY(!::log_in());
            QVERIFY(f.window->isEnabled());
            auto *item = f.control<QAction>("passwordproena");
            QCOMPARE(rights(f) + ": add " +
                         (f.control<QPushButton>("Command1")->isEnabled() ? "on" : "off") +
                         ", item " +
                         (!item->isVisible()  ? "hidden"
                          : item->isEnabled() ? "on"
                                              : "off"),
                     after);
            return;
        }
        QCOMPARE(shown_messages(), QStringList{"Information \"Durnmoor\": Incorrect Password "
                                               "Supplied. Access Denied. (Ok, default Ok)"});
        QCOMPARE(Messages::shown().back().parent, dialog);
        QCOMPARE(::log_in(), dialog);
        QCOMPARE(f.text_of("Text2"), name);
        QVERIFY(!f.window->isEnabled());
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        QCOMPARE(dialog->focusWidget(), dialog->findChild<QLineEdit *>("Text1"));
        auto *attempt = dialog->findChild<QPushButton *>("Command1");
        QVERIFY(!attempt->isEnabled());
        f.run("Return"); // not taken while it waits
        QCOMPARE(Messages::shown().size(), std::size_t(1));
        QTRY_VERIFY(attempt->isEnabled());
        f.run("Return");
        QCOMPARE(Messages::shown().size(), std::size_t(2));
        // The second wait is twice the first, and a new dialog waits out what is left.
        f.run("Command2");
        f.window->showNormal();
        QTRY_VERIFY(::log_in());
        QVERIFY(!f.window->isEnabled());
        QVERIFY(!::log_in()->findChild<QPushButton *>("Command1")->isEnabled());
        QTRY_VERIFY(::log_in()->findChild<QPushButton *>("Command1")->isEnabled());
    }

    // However the window left the screen (the log-in cancelled or closed, or minimised after
    // a log-in) and however it comes back (normal, maximised, from the notification area or
    // the task bar), it comes back locked behind the log-in, with the rights it had. Closing
    // another dialog then never unlocks it, and the dialogs that change data (options and
    // accounts, printing) close as soon as the window goes.
    void every_way_back_asks_for_the_log_in_data()
    {
        QTest::addColumn<QString>("away");
        QTest::addColumn<QString>("back");
        QTest::addColumn<QStringList>("dialog"); // open when the window goes: item, name, fate
        for (const QString away : {"Command2", "close", "logged in"})
            for (const QString back : {"normal", "maximised", "notification area", "task bar"})
                QTest::newRow(qPrintable(away + ", " + back)) << away << back << QStringList();
        // clang-format off
        QTest::newRow("about open") << "logged in" << "normal" << QStringList{"aboutit", "about", "stays"};
        QTest::newRow("print open") << "logged in" << "normal" << QStringList{"printlisted", "printit", "closes"};
        QTest::newRow("audit trail open") << "logged in" << "normal" << QStringList{"audittrail", "TrailWindow", "closes"};
        QTest::newRow("options open") << "logged in" << "normal" << QStringList{"passwordproena", "password", "closes"};
        // clang-format on
    }
    void every_way_back_asks_for_the_log_in()
    {
        QFETCH(QString, away);
        QFETCH(QString, back);
        QFETCH(QStringList, dialog);
        WindowFixture f(protected_start());
        const auto dialogs = [&] { return open_windows(qPrintable(dialog.value(1))); };
        if (away == "logged in") {
            log_in_as(f, "Boss", "Pw");
            if (!dialog.isEmpty()) {
                f.run(dialog[0]);
                QCOMPARE(dialogs().size(), 1);
            }
            f.window->showMinimized();
        } else {
            f.run(away);
        }
        QTRY_VERIFY(!::log_in());
        QVERIFY(f.window->isMinimized() && !f.window->isEnabled());
        const QString before = rights(f);
        QCOMPARE(before, away == "logged in" ? " 1 | 0 | 0 " : "1|0|0");
        if (!dialog.isEmpty())
            QCOMPARE(dialogs().size(), dialog[2] == "stays" ? 1 : 0);
        if (back == "normal") {
            f.window->showNormal();
        } else if (back == "maximised") {
            f.window->showMaximized();
        } else if (back == "notification area") {
            f.window->hide(); // as minimising does where the desktop shows the icon
            // Only a left click on the icon brings it back.
            for (const auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick,
                                      QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Trigger}) {
                QVERIFY(!f.window->isVisible());
                f.window->tray().handle(reason);
            }
        } else {
            f.window->setWindowState(Qt::WindowActive); // what a task bar button asks for
        }
        QTRY_VERIFY(::log_in());
        QVERIFY(!f.window->isMinimized() && !f.window->isEnabled());
        QCOMPARE(rights(f), before);
        for (QWidget *open : dialogs()) {
            open->close();
            QVERIFY(!f.window->isEnabled()); // not for a moment either
        }
        QVERIFY(dialogs().isEmpty());
        log_in_as(f, "Boss", "Pw");
        QVERIFY(f.window->isEnabled());
    }
};

QTEST_MAIN(AccessTest)
#include "tst_access.moc"
