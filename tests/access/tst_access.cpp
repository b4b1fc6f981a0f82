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

struct DialogFixture {
    TestEnv env;
    XdgAutostart autostart{env.path("autostart"), "/opt/my apps/durnmoor"};
    AppState state;
    QPointer<AccountDialog> dialog; // it deletes itself when it closes

    DialogFixture()
    {
        env.write_file("security.dat", accounts);
        open();
    }
    ~DialogFixture() { delete dialog; }
    void open()
    {
        dialog = new AccountDialog(AppContext{env.dir(), &env.settings(), &autostart}, state);
        dialog->show();
    }
    template <typename T = QCheckBox> T *control(const char *name) const
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    // The boxes' texts, then 1 or 0 for each tick box: "Zed|pw| 011".
    QString shown(std::initializer_list<const char *> texts,
                  std::initializer_list<const char *> boxes)
    {
        QStringList out;
        for (const char *name : texts)
            out << control<QLineEdit>(name)->text();
        QString ticks = " ";
        for (const char *name : boxes)
            ticks += control(name)->isChecked() ? '1' : '0';
        return out.join('|') + ticks;
    }
    void choose(const QString &name)
    {
        auto *chooser = control<QComboBox>("Combo1");
        chooser->setCurrentIndex(chooser->findText(name));
        emit chooser->activated(chooser->currentIndex());
    }
    QString settings()
    {
        return env.settings().value("Pass/Word").toString() + ' ' +
               env.settings().value("Reminder/On").toString() + ' ' +
               env.settings().value("Reminder/Days").toString();
    }
};

QWidget *log_in()
{
    return open_windows("SettingsPro").value(0);
}

// Protection on, with these accounts; the window starts as the program starts it.
const std::string log_ins = crlf_lines({"Boss", "Pw", " 1 ", " 0 ", " 0 ", "plain", "", "0", "0",
                                        "1", "spaced", "s", " 0 ", " 0 ", " 1 "});

std::unique_ptr<WindowFixture> protected_window(const QString &word = "YES",
                                                const std::string &file = log_ins)
{
    return std::make_unique<WindowFixture>(std::string(), std::string(), [&](TestEnv &env) {
        env.settings().setValue("Pass/Word", word);
        env.write_file("security.dat", file);
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
        QCOMPARE(cut.with_saved({"Eve", "", " 0 ", " 0 ", " 0 "}),
                 crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 ", "Dan", "pw", "", "", "", "Eve", "",
                             " 0 ", " 0 ", " 0 "}));
    }

    // The options show what is stored and the start-up entry as it is, and are stored however
    // the dialog closes.
    void options_stored_and_shown_again()
    {
        DialogFixture f;
        QCOMPARE(f.dialog->windowTitle(), "Durnmoor Authorisation Setup ");
        auto *chooser = f.control<QComboBox>("Combo1");
        QCOMPARE(chooser->currentText() + ": " + chooser->itemText(0) + ' ' + chooser->itemText(1),
                 "Choose User: amy Zed");
        QCOMPARE(f.shown({"Text11"}, {"Check1", "Check5", "Check6"}), "7 000");
        QTest::mouseClick(f.control("Check6"), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
        QCOMPARE(shown_messages(),
                 QStringList{"Information \"Durnmoor\": You will need to QUIT Durnmoor and restart "
                             "the Program to reinitialise Auto-Calibration Due-Date Reminder. (Ok, "
                             "default Ok)"});
        f.control<QLineEdit>("Text11")->setText("10.5 days");
        f.control("Check5")->setChecked(true);
        f.control("Check1")->setChecked(true);
        f.control<QPushButton>("Command2")->click();
        QCOMPARE(f.settings(), "YES 1 10.5");
        QVERIFY(f.env.read_file("autostart/durnmoor.desktop")
                    .find("Exec=\"/opt/my apps/durnmoor\"\n") != std::string::npos);
        f.open();
        QCOMPARE(f.shown({"Text11"}, {"Check1", "Check5", "Check6"}), "10 111");
        for (const char *box : {"Check1", "Check5", "Check6"})
            f.control(box)->setChecked(false);
        f.control<QLineEdit>("Text11")->setText("abc");
        f.dialog->close();
        QCOMPARE(f.settings(), "NO 0 0");
        QVERIFY(!f.autostart.registered());
    }

    void rights_tick_what_they_imply()
    {
        DialogFixture f;
        f.control("Check3")->click(); // on an empty form: all three
        QCOMPARE(f.shown({}, {"Check3", "Check2", "Check4"}), " 111");
        f.control("Check3")->click(); // unticking touches no other box
        QCOMPARE(f.shown({}, {"Check3", "Check2", "Check4"}), " 011");
        f.dialog->reload();
        f.choose("Zed"); // stored " 0 ", " 0 ", " 1 ": editing implies reading
        QCOMPARE(f.shown({"Text3", "Text1", "Text2"}, {"Check3", "Check2", "Check4"}),
                 "Zed|pw| 011");
        f.control<QPushButton>("Command1")->click(); // the password must be given again
        QVERIFY(shown_messages().value(0).contains("TWO different passwords"));
    }

    // The first test that holds decides; only a valid entry is written.
    void accept_data()
    {
        QTest::addColumn<bool>("protection");
        QTest::addColumn<QStringList>("typed"); // user name, password, verify
        QTest::addColumn<QString>("warning");   // empty: saved
        QTest::addColumn<std::string>("file");
        // clang-format off
        QTest::newRow("protection, no password") << true << QStringList{"", "", ""}
            << "You cannot have password-protection on, without having a password. Please enter a "
               "password and verify it, or un-check the protection." << accounts;
        QTest::newRow("protection, no name") << true << QStringList{"", "p", "p"}
            << "No Username entered." << accounts;
        QTest::newRow("no name") << false << QStringList{"", "p", "p"}
            << "You have to have a Username to create a Password-Authorisation Account." << accounts;
        QTest::newRow("passwords differ") << false << QStringList{"Al", "p", "q"}
            << "You have entered TWO different passwords. Please re-enter your *NEW* password, and "
               "verify it by re-entering the same password on the next box." << accounts;
        QTest::newRow("name in another case appended") << false << QStringList{"AMY", "", ""} << ""
            << accounts + crlf_lines({"AMY", "", " 0 ", " 0 ", " 0 "});
        QTest::newRow("existing name replaced in its place") << true << QStringList{"Zed", "n", "n"}
            << "" << crlf_lines({"Zed", "n", " 0 ", " 0 ", " 0 ", "amy", "a", " 1 ", " 1 ", " 1 "});
        // clang-format on
    }
    void accept()
    {
        QFETCH(bool, protection);
        QFETCH(QStringList, typed);
        QFETCH(QString, warning);
        DialogFixture f;
        f.control("Check1")->setChecked(protection);
        const char *boxes[] = {"Text3", "Text1", "Text2"};
        for (int i = 0; i < 3; ++i)
            f.control<QLineEdit>(boxes[i])->setText(typed[i]);
        f.control<QPushButton>("Command1")->click();
        QCOMPARE(shown_messages().join(""),
                 warning.isEmpty() ? "" : "Warning \"Durnmoor\": " + warning + " (Ok, default Ok)");
        QTEST(f.env.read_file("security.dat"), "file");
        // Saved: the chooser is refilled; refused: the entries stay.
        QCOMPARE(f.control<QLineEdit>("Text3")->text(), warning.isEmpty() ? QString() : typed[0]);
    }

    // The chooser names the account: with "Choose User" showing, nobody is deleted.
    void delete_user()
    {
        DialogFixture f;
        const auto press = [&f](QMessageBox::StandardButton answer) {
            Messages::queue_answer(answer);
            f.control<QPushButton>("Command3")->click();
        };
        press(QMessageBox::Yes);
        f.choose("Zed");
        press(QMessageBox::No);
        QCOMPARE(f.env.read_file("security.dat"), accounts);
        press(QMessageBox::Yes);
        QCOMPARE(f.env.read_file("security.dat"), crlf_lines({"amy", "a", " 1 ", " 1 ", " 1 "}));
        QCOMPARE(shown_messages().size(), 3);
        QCOMPARE(shown_messages()[0],
                 "Information \"Durnmoor Removal of User Authorisation\": Are you sure you want to "
                 "DELETE this user from Durnmoor Account Administration (user will not longer be "
                 "able to access any of Durnmoor's Data? (Yes|No, default No)");
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
        QTest::keyClicks(dialog->findChild<QLineEdit *>("Text2"), name);
        QTest::keyClick(dialog->findChild<QLineEdit *>("Text2"), Qt::Key_Return);
        QTest::keyClicks(dialog->focusWidget(), password); // Enter moved on to the password
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        if (after == "denied") {
            QCOMPARE(shown_messages(), QStringList{"Information \"Durnmoor\": Incorrect Password "
                                                   "Supplied. Access Denied. (Ok, default Ok)"});
            QCOMPARE(::log_in(), dialog); // still open, as it was
            QCOMPARE(dialog->findChild<QLineEdit *>("Text2")->text(), name);
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

    // Nobody to log in, or a protection word neither "YES" nor "NO": no log-in is asked for,
    // and nothing can be changed.
    void no_log_in_and_no_editing_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<std::string>("file");
        QTest::newRow("no accounts") << "YES" << std::string();
        QTest::newRow("protection word in small letters") << "yes" << log_ins;
    }
    void no_log_in_and_no_editing()
    {
        QFETCH(QString, word);
        QFETCH(std::string, file);
        auto f = protected_window(word, file);
        QVERIFY(!::log_in() && f->window->isEnabled());
        f->trigger("fulllist");
        QVERIFY(!f->control<QPushButton>("Command1")->isEnabled());
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
        if (close_box)
            ::log_in()->close();
        else
            ::log_in()->findChild<QPushButton *>("Command2")->click();
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
