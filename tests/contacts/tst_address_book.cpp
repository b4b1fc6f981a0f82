// The address book tab and the Enter chains of the entry fields, driven through the window.
#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(std::string)

namespace {

std::string contact(const std::string &company, const std::string &name = {},
                    const std::string &line1 = {})
{
    std::string out = crlf_lines({company, name, line1});
    for (int line = 4; line <= 12; ++line)
        out += "\r\n";
    return out;
}

const std::string acme = contact("Acme", "Ann", "1 Road");
const std::string upper_acme = contact("ACME", "Bob");
const std::string twice = contact("Twice", "One") + contact("Twice", "Two");
const std::string zeta = contact("Zeta");
const std::string book = acme + upper_acme + twice + zeta;

void write_book(TestEnv &env)
{
    env.write_file("contacts.dat", book);
}

} // namespace

class AddressBookTest : public QObject {
    Q_OBJECT

private slots:
    void scenario_data();
    void scenario();
    void enter_moves_along_the_chain_data();
    void enter_moves_along_the_chain();
    void copy_gives_twelve_lines();
};

void AddressBookTest::scenario_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<std::string>("file");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("boxes"); // company|contact, then "writable" or "read-only"

    const QString overwrite = "Information \"Durnmoor Duplicate Record Alert\": This record "
                              "already exists, overwrite ? (Yes|No, default No)";
    const QString remove = "Information \"Calibration Contact Record Removal Alert\": Are you "
                           "sure you want to remove this Contact (%1) ? (Yes|No, default No)";
    const QString nothing = "Information \"Durnmoor\": You cannot remove a contact, without "
                            "selecting one first. (Ok, default Ok)";
    const QString add = "Combo7=!!Add New Contact to List; ";
    // clang-format off
    QTest::newRow("new company: appended, its other lines empty")
        << add + "Text7= New Co ; Text8=Jo; Command5" << book + contact("New Co", "Jo")
        << QStringList{} << "| writable";
    QTest::newRow("company name of blanks")
        << add + "Text7=   ; Text8=Jo; Command5" << book
        << QStringList{"Critical \"Durnmoor\": No Company Name specified. (Ok, default Ok)"}
        << "   |Jo writable";
    QTest::newRow("existing answered No: nothing written")
        << "Combo7=Acme; Command12; Text8=Changed; No; Command5" << book
        << QStringList{overwrite} << "Acme|Changed writable";
    QTest::newRow("existing answered Yes: in its place, case tells companies apart")
        << "Combo7=ACME; Command12; Text9=2 Lane ; Yes; Command5"
        << acme + contact("ACME", "Bob", "2 Lane") + twice + zeta << QStringList{overwrite}
        << "| writable";
    QTest::newRow("remove a company stored twice")
        << "Combo7=Twice; Yes; Command6" << acme + upper_acme + zeta
        << QStringList{remove.arg("TWICE")} << "| read-only";
    QTest::newRow("remove answered No")
        << "Combo7=Acme; No; Command6" << book << QStringList{remove.arg("ACME")}
        << "Acme|Ann read-only";
    QTest::newRow("remove, nothing chosen") << "Command6" << book << QStringList{nothing}
                                            << "| read-only";
    QTest::newRow("edit, nothing chosen") << "Command12" << book << QStringList{nothing}
                                          << "| read-only";
    QTest::newRow("cannot be read: save refused, typing kept")
        << add + "Text7=Acme; unreadable contacts.dat; Command5" << book
        << QStringList{"Warning \"Durnmoor\": contacts.dat could not be read, so it has not been "
                       "changed.\ncontacts.dat: Permission denied (Ok, default Ok)"}
        << "Acme| writable";
    // clang-format on
}

void AddressBookTest::scenario()
{
    QFETCH(QString, steps);
    QFETCH(std::string, file);
    QFETCH(QStringList, messages);
    QFETCH(QString, boxes);
    WindowFixture fx({}, {}, write_book);
    QCOMPARE(fx.control<QComboBox>("Combo7")->itemText(0),
             QStringLiteral("!!Add New Contact to List"));
    QVERIFY(fx.control<QLineEdit>("Text7")->isReadOnly());
    fx.run(steps);
    COMPARE_FILE(fx.env.read_file("contacts.dat"), file);
    QCOMPARE(shown_messages(), messages);
    QCOMPARE(fx.text_of("Text7") + '|' + fx.text_of("Text8") +
                 (fx.control<QLineEdit>("Text7")->isReadOnly() ? " read-only" : " writable"),
             boxes);
    // The list always reads as the file: sorted without regard to case, the new entry first.
    QStringList listed;
    const auto *combo = fx.control<QComboBox>("Combo7");
    for (int i = 1; i < combo->count(); ++i)
        listed << combo->itemText(i);
    QStringList expected;
    for (std::size_t i = 0; i + 12 <= file.size() && i < file.size();) {
        const std::size_t end = file.find("\r\n", i);
        expected << QString::fromStdString(file.substr(i, end - i));
        for (int line = 0; line < 12; ++line)
            i = file.find("\r\n", i) + 2;
    }
    std::stable_sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    if (!steps.contains("unreadable"))
        QCOMPARE(listed, expected);
}

void AddressBookTest::enter_moves_along_the_chain_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("lands"); // where the focus is afterwards
    QTest::addColumn<QString>("company");  // "Calibration Company:" afterwards
    QTest::newRow("location to company")
        << "Command1" << QByteArray("Text3") << QByteArray("Text4") << "";
    QTest::newRow("manufacturer skips serial and cost")
        << "Command1" << QByteArray("Text20") << QByteArray("Text23") << "";
    QTest::newRow("cost back into the chain")
        << "Command1" << QByteArray("Text5") << QByteArray("Text19") << "";
    QTest::newRow("purchase order ends it")
        << "Command1" << QByteArray("Text25") << QByteArray("Text25") << "";
    QTest::newRow("company completed, then manufacturer")
        << "Command1; Text4=cal" << QByteArray("Text4") << QByteArray("Text20")
        << "Acme Calibration Ltd";
    QTest::newRow("empty company: the first of the book")
        << "Command1" << QByteArray("Text4") << QByteArray("Text20") << "Acme Calibration Ltd";
    QTest::newRow("nothing holds it: as typed")
        << "Command1; Text4=xyz" << QByteArray("Text4") << QByteArray("Text20") << "xyz";
    QTest::newRow("e-mail to Save Details, not pressed")
        << "tab=1; Combo7=!!Add New Contact to List" << QByteArray("Text18")
        << QByteArray("Command5") << "";
    QTest::newRow("Save Details disabled: stays")
        << "tab=1; Combo7=Global Calibration" << QByteArray("Text18") << QByteArray("Text18") << "";
}

void AddressBookTest::enter_moves_along_the_chain()
{
    QFETCH(QString, steps);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, lands);
    QFETCH(QString, company);
    WindowFixture fx({}, {}, [](TestEnv &env) {
        env.write_file("contacts.dat",
                       contact("Acme Calibration Ltd") + contact("Global Calibration"));
    });
    fx.run(steps);
    auto *from = fx.control<QWidget>(field.constData());
    from->setFocus();
    QTest::keyClick(from, Qt::Key_Return);
    QCOMPARE(fx.window->focusWidget()->objectName(), QString::fromLatin1(lands));
    QCOMPARE(fx.text_of("Text4"), company);
    QCOMPARE(fx.env.read_file("contacts.dat").size(), std::size_t(2 * 12 * 2 + 20 + 18));
}

void AddressBookTest::copy_gives_twelve_lines()
{
    WindowFixture fx({}, {}, write_book);
    fx.run("Combo7=Acme; Command7");
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("Acme\r\nAnn\r\n1 Road\r\n") + QString("\r\n").repeated(9));
    // Typing the instrument number shows it at once on the history tab.
    fx.run("Command1");
    QTest::keyClicks(fx.control<QWidget>("Text1"), "AB-1");
    QCOMPARE(fx.text_of("Text22"), QStringLiteral("AB-1"));
}

QTEST_MAIN(AddressBookTest)
#include "tst_address_book.moc"
