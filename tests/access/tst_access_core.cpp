// The accounts file, the conversions of the settings store and the start-up entry.
#include "access/accounts_file.h"
#include "access/autostart.h"
#include "access/settings_store.h"
#include "support/test_env.h"

#include <QTest>

using namespace durnmoor;
using durnmoor::test::crlf_lines;
using durnmoor::test::TestEnv;

namespace {

std::string account(const std::string &name, const std::string &password, const char *flags)
{
    return crlf_lines({name, password, flags[0] == '1' ? " 1 " : " 0 ",
                       flags[1] == '1' ? " 1 " : " 0 ", flags[2] == '1' ? " 1 " : " 0 "});
}

const std::string bob = account("bob", "Secret", "100");
const std::string ann = account("Ann", "", "011");
const std::string odd = crlf_lines({"Cy", "pw", "1", "", "x"}); // hand-edited flags
const std::string accounts = bob + ann + odd;

} // namespace

class AccessCoreTest : public QObject {
    Q_OBJECT

private slots:
    void credentials_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("both exact") << "bob"
                                    << "Secret" << true;
        QTest::newRow("password in another case") << "bob"
                                                  << "secret" << false;
        QTest::newRow("name in another case") << "Bob"
                                              << "Secret" << false;
        QTest::newRow("name with a blank") << "bob "
                                           << "Secret" << false;
        QTest::newRow("empty password for its account") << "Ann"
                                                        << "" << true;
        QTest::newRow("another account's password") << "Ann"
                                                    << "Secret" << false;
    }
    void credentials()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        const AccountsData data(accounts);
        QCOMPARE(data.check_credentials(name.toStdString(), password.toStdString()).has_value(),
                 accepted);
    }

    void saving_and_removing()
    {
        const AccountsData data(accounts);
        QCOMPARE(data.names(), (std::vector<std::string>{"bob", "Ann", "Cy"}));
        // A name that exists is replaced in its place; Bob is not bob, so it is appended.
        const Account changed{"Ann", "new", flag_line(true), flag_line(true), flag_line(true)};
        QCOMPARE(data.with_saved(changed), bob + account("Ann", "new", "111") + odd);
        const std::string four = data.with_saved({"Bob", "x", " 0 ", " 1 ", " 0 "});
        QCOMPARE(four, accounts + crlf_lines({"Bob", "x", " 0 ", " 1 ", " 0 "}));
        QCOMPARE(std::count(four.begin(), four.end(), '\n'), 20);
        QCOMPARE(data.without("bob"), ann + odd);
        QCOMPARE(data.without("nobody"), accounts);
        // A damaged last record reads padded: its missing flags withhold the rights.
        const AccountsData cut(bob + "Dan\r\npw\r\n");
        QCOMPARE(cut.find_account("Dan")->edit, std::string());
        QCOMPARE(cut.with_saved({"Eve", "", " 0 ", " 0 ", " 0 "}),
                 bob + crlf_lines({"Dan", "pw", "", "", ""}) + account("Eve", "", "000"));
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("ticked");
        for (const char *line : {" 1 ", "1", "1.0"})
            QTest::newRow(line) << QByteArray(line) << true;
        for (const char *line : {" 0 ", "0", "", "2", "x"})
            QTest::newRow(line) << QByteArray(line) << false;
    }
    void flags()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, ticked);
        QCOMPARE(flag_ticked(line.toStdString()), ticked);
    }

    // 16-bit whole numbers, halves to even; anything else leaves the value it was to replace.
    void stored_numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("read"); // -99: the read fails
        QTest::newRow("plain") << " 7 " << 7;
        QTest::newRow("half down to even") << "10.5" << 10;
        QTest::newRow("half up to even") << "3.5" << 4;
        QTest::newRow("negative") << "-4" << -4;
        QTest::newRow("too large") << "40000" << -99;
        QTest::newRow("not a number") << "abc" << -99;
        QTest::newRow("trailing letters") << "7abc" << -99;
    }
    void stored_numbers()
    {
        QFETCH(QString, text);
        QFETCH(int, read);
        TestEnv env;
        env.settings().setValue(reminder_days_key, text);
        std::int16_t days = -99;
        load_reminder_days(&env.settings(), days);
        QCOMPARE(int(days), read);
    }

    void options_written()
    {
        TestEnv env;
        QSettings &settings = env.settings();
        std::int16_t days = 0;
        load_reminder_days(&settings, days);
        QCOMPARE(int(days), 7); // absent: a week's notice
        QVERIFY(!protection_on(&settings) && protection_off(&settings) && !reminder_on(&settings));
        store_options(&settings, {true, true, "10.5"});
        QCOMPARE(settings.value("Pass/Word").toString(), QStringLiteral("YES"));
        QCOMPARE(settings.value("Reminder/On").toString(), QStringLiteral("1"));
        QCOMPARE(settings.value("Reminder/Days").toString(), QStringLiteral("10.5"));
        QVERIFY(protection_on(&settings) && reminder_on(&settings));
        store_options(&settings, {false, false, "abc"});
        QCOMPARE(settings.value("Reminder/Days").toString(), QStringLiteral("0"));
        settings.setValue("Pass/Word", "yes"); // neither on nor off: locked, never asked
        QVERIFY(!protection_on(&settings) && !protection_off(&settings));
    }

    void autostart_entry()
    {
        TestEnv env;
        XdgAutostart autostart(env.path("autostart"), "/opt/my apps/durnmoor");
        QVERIFY(!autostart.registered());
        autostart.set_registered(true);
        QVERIFY(autostart.registered());
        const std::string entry = env.read_file("autostart/durnmoor.desktop");
        QVERIFY(entry.find("Exec=\"/opt/my apps/durnmoor\"\n") != std::string::npos);
        autostart.set_registered(false);
        QVERIFY(!autostart.registered());
    }
};

QTEST_GUILESS_MAIN(AccessCoreTest)
#include "tst_access_core.moc"
