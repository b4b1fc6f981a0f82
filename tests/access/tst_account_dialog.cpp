// "Durnmoor Authorisation Setup ": options and accounts, driven through its controls.
#include "access/account_dialog.h"
#include "access/autostart.h"
#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const std::string accounts =
    crlf_lines({"Zed", "pw", " 0 ", " 0 ", " 1 ", "amy", "a", " 1 ", " 1 ", " 1 "});

struct DialogFixture {
    TestEnv env;
    XdgAutostart autostart{env.path("autostart"), "/usr/bin/durnmoor"};
    AppState state;
    QPointer<AccountDialog> dialog; // it deletes itself when it closes

    explicit DialogFixture(const std::string &file = accounts)
    {
        env.write_file("security.dat", file);
        dialog = new AccountDialog(AppContext{env.dir(), &env.settings(), &autostart}, state);
        dialog->show();
    }
    ~DialogFixture() { delete dialog; }
    template <typename T> T *control(const char *name)
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    QString ticked()
    {
        QString boxes;
        for (const char *name : {"Check3", "Check2", "Check4"})
            boxes += control<QCheckBox>(name)->isChecked() ? '1' : '0';
        return boxes;
    }
    void choose(const QString &name)
    {
        auto *chooser = control<QComboBox>("Combo1");
        const int index = chooser->findText(name);
        chooser->setCurrentIndex(index);
        emit chooser->activated(index);
    }
};

} // namespace

class AccountDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opens_with_the_accounts_and_the_options()
    {
        DialogFixture f;
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Durnmoor Authorisation Setup "));
        auto *chooser = f.control<QComboBox>("Combo1");
        QCOMPARE(chooser->currentText(), QStringLiteral("Choose User"));
        QCOMPARE((QStringList{chooser->itemText(0), chooser->itemText(1)}),
                 (QStringList{"amy", "Zed"}));
        QCOMPARE(f.control<QLineEdit>("Text11")->text(), QStringLiteral("7"));
        // The start-up box tells whether the entry exists; closing untouched leaves it so.
        QVERIFY(!f.control<QCheckBox>("Check5")->isChecked());
        QVERIFY(f.dialog->close());
        QVERIFY(!f.autostart.registered());
        QCOMPARE(f.env.settings().value("Pass/Word").toString(), QStringLiteral("NO"));
        QCOMPARE(f.env.settings().value("Reminder/On").toString(), QStringLiteral("0"));
        QCOMPARE(f.env.settings().value("Reminder/Days").toString(), QStringLiteral("7"));
    }

    void rights_tick_what_they_imply()
    {
        DialogFixture f;
        f.control<QCheckBox>("Check3")->click(); // on an empty form: all three
        QCOMPARE(f.ticked(), QStringLiteral("111"));
        f.control<QCheckBox>("Check3")->click(); // unticking touches no other box
        QCOMPARE(f.ticked(), QStringLiteral("011"));
        f.dialog->reload();
        f.choose("Zed"); // stored " 0 ", " 0 ", " 1 ": editing implies reading
        QCOMPARE(f.ticked(), QStringLiteral("011"));
        QCOMPARE(f.control<QLineEdit>("Text3")->text(), QStringLiteral("Zed"));
    }

    // The first test that holds decides; only a valid entry is written.
    void accept_data()
    {
        QTest::addColumn<bool>("protection");
        QTest::addColumn<QStringList>("typed"); // user name, password, verify
        QTest::addColumn<QString>("warning");   // empty: saved
        QTest::addColumn<std::string>("file");
        const QString no_password = "You cannot have password-protection on, without having a "
                                    "password. Please enter a password and verify it, or un-check "
                                    "the protection.";
        const QString two = "You have entered TWO different passwords. Please re-enter your *NEW* "
                            "password, and verify it by re-entering the same password on the next "
                            "box.";
        QTest::newRow("protection, no password")
            << true << QStringList{"", "", ""} << no_password << accounts;
        QTest::newRow("protection, no name")
            << true << QStringList{"", "p", "p"} << "No Username entered." << accounts;
        QTest::newRow("no name") << false << QStringList{"", "p", "p"}
                                 << "You have to have a Username to create a "
                                    "Password-Authorisation Account."
                                 << accounts;
        QTest::newRow("passwords differ")
            << false << QStringList{"Al", "p", "q"} << two << accounts;
        QTest::newRow("no protection, empty password saved")
            << false << QStringList{"Al", "", ""} << ""
            << accounts + crlf_lines({"Al", "", " 0 ", " 0 ", " 0 "});
        QTest::newRow("existing name replaced in its place")
            << true << QStringList{"Zed", "new", "new"} << ""
            << crlf_lines({"Zed", "new", " 0 ", " 0 ", " 0 ", "amy", "a", " 1 ", " 1 ", " 1 "});
    }
    void accept()
    {
        QFETCH(bool, protection);
        QFETCH(QStringList, typed);
        QFETCH(QString, warning);
        QFETCH(std::string, file);
        DialogFixture f;
        f.control<QCheckBox>("Check1")->setChecked(protection);
        const char *boxes[] = {"Text3", "Text1", "Text2"};
        for (int i = 0; i < 3; ++i)
            f.control<QLineEdit>(boxes[i])->setText(typed[i]);
        f.control<QPushButton>("Command1")->click();
        QCOMPARE(shown_messages(),
                 warning.isEmpty()
                     ? QStringList{}
                     : QStringList{"Warning \"Durnmoor\": " + warning + " (Ok, default Ok)"});
        QCOMPARE(f.env.read_file("security.dat"), file);
        // Saved: the chooser is refilled; refused: the entries stay.
        QCOMPARE(f.control<QLineEdit>("Text3")->text(), warning.isEmpty() ? QString() : typed[0]);
    }

    void choosing_then_accepting_needs_the_password_again()
    {
        DialogFixture f;
        f.choose("amy");
        f.control<QPushButton>("Command1")->click();
        QVERIFY(shown_messages().front().contains("TWO different passwords"));
    }

    void delete_user_by_the_chooser()
    {
        DialogFixture f;
        const QString question = "Information \"Durnmoor Removal of User Authorisation\": Are you "
                                 "sure you want to DELETE this user from Durnmoor Account "
                                 "Administration (user will not longer be able to access any of "
                                 "Durnmoor's Data? (Yes|No, default No)";
        Messages::queue_answer(QMessageBox::Yes);
        f.control<QPushButton>("Command3")->click(); // "Choose User" names nobody
        QCOMPARE(f.env.read_file("security.dat"), accounts);
        f.choose("Zed");
        Messages::queue_answer(QMessageBox::Yes);
        f.control<QPushButton>("Command3")->click();
        QCOMPARE(f.env.read_file("security.dat"), crlf_lines({"amy", "a", " 1 ", " 1 ", " 1 "}));
        QCOMPARE(shown_messages(), (QStringList{question, question}));
    }

    void options_written_on_closing()
    {
        DialogFixture f;
        f.env.settings().setValue("Reminder/Days", "40000"); // does not convert: 7 stays shown
        auto *reminder = f.control<QCheckBox>("Check6");
        QTest::mouseClick(reminder, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
        QVERIFY(reminder->isChecked());
        QCOMPARE(shown_messages(),
                 QStringList{"Information \"Durnmoor\": You will need to QUIT Durnmoor and restart "
                             "the Program to reinitialise Auto-Calibration Due-Date Reminder. (Ok, "
                             "default Ok)"});
        f.control<QLineEdit>("Text11")->setText("10.5");
        f.control<QCheckBox>("Check5")->setChecked(true);
        f.control<QCheckBox>("Check1")->setChecked(true);
        f.control<QPushButton>("Command2")->click();
        QCOMPARE(f.env.settings().value("Reminder/On").toString(), QStringLiteral("1"));
        QCOMPARE(f.env.settings().value("Reminder/Days").toString(), QStringLiteral("10.5"));
        QCOMPARE(f.env.settings().value("Pass/Word").toString(), QStringLiteral("YES"));
        QVERIFY(f.autostart.registered());
    }
};

QTEST_MAIN(AccountDialogTest)
#include "tst_account_dialog.moc"
