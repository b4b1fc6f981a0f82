// The address book tab, driven through the main window.
#include "contacts/contacts_file.h"
#include "register/register_questions.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

std::string contact(const std::string &company, const std::string &name = {},
                    const std::string &line1 = {})
{
    return crlf_lines({company, name, line1, "", "", "", "", "", "", "", "", ""});
}

const std::string acme = contact("Acme Cal", "Ann", "1 Road");
const std::string upper_acme = contact("ACME CAL", "Bob");
const std::string twice = contact("Twice", "One") + contact("Twice", "Two");
const std::string global = contact("Global Calibration");
const std::string book = acme + upper_acme + twice + global;

} // namespace

class ContactsTest : public QObject {
    Q_OBJECT

private slots:
    void address_book_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("boxes"); // company|contact, then "writable" or "read-only"
        const QString remove = "Information \"Calibration Contact Record Removal Alert\": Are you "
                               "sure you want to remove this Contact (%1) ? (Yes|No, default No)";
        const QString nothing = "Information \"Durnmoor\": You cannot remove a contact, without "
                                "selecting one first. (Ok, default Ok)";
        const QString add = "Combo7=!!Add New Contact to List; ";
        // clang-format off
        QTest::newRow("new company: appended, its other lines empty")
            << add + "Text7= New Co ; Text8=Jo; Command5" << book + contact("New Co", "Jo")
            << QStringList{} << "| writable";
        QTest::newRow("company name of blanks") << add + "Text7=   ; Text8=Jo; Command5" << book
            << QStringList{"Critical \"Durnmoor\": No Company Name specified. (Ok, default Ok)"}
            << "   |Jo writable";
        QTest::newRow("existing answered No: nothing written")
            << "Combo7=Acme Cal; Command12; Text8=Changed; No; Command5" << book
            << QStringList{overwrite} << "Acme Cal|Changed writable";
        QTest::newRow("existing answered Yes: in its place, case tells companies apart")
            << "Combo7=ACME CAL; Command12; Text9=2 Lane ; Yes; Command5"
            << acme + contact("ACME CAL", "Bob", "2 Lane") + twice + global
            << QStringList{overwrite} << "| writable";
        QTest::newRow("remove a company stored twice") << "Combo7=Twice; Yes; Command6"
            << acme + upper_acme + global << QStringList{remove.arg("TWICE")} << "| read-only";
        QTest::newRow("copied, remove answered No") << "Combo7=Acme Cal; Command7; No; Command6"
            << book << QStringList{remove.arg("ACME CAL")} << "Acme Cal|Ann read-only";
        QTest::newRow("remove or edit, nothing chosen") << "Command6; Command12" << book
            << QStringList{nothing, nothing} << "| read-only";
        QTest::newRow("cannot be written: save refused, typing kept")
            << "block contacts2.dat; " + add + "Text7=Acme; Command5" << book
            << QStringList{"Warning \"Durnmoor\": contacts.dat could not be saved.\n"
                           "contacts2.dat: Is a directory\ncontacts.dat has been left as it was. "
                           "(Ok, default Ok)"}
            << "Acme| writable";
        QTest::newRow("cannot be read: save refused, typing kept")
            << add + "Text7=Acme; unreadable contacts.dat; Command5" << book
            << QStringList{"Warning \"Durnmoor\": contacts.dat could not be read, so it has not "
                           "been changed.\ncontacts.dat: Permission denied (Ok, default Ok)"}
            << "Acme| writable";
        // clang-format on
    }
    void address_book()
    {
        QFETCH(QString, steps);
        QFETCH(std::string, file);
        WindowFixture fx({.contacts = book});
        auto *company = fx.control<QLineEdit>("Text7");
        fx.run(steps);
        QCOMPARE(fx.env.read_file("contacts.dat"), file);
        QTEST(shown_messages(), "messages");
        // A save that got as far as the file leaves the instrument entry open, as its own
        // saves do.
        QCOMPARE(fx.control<QLineEdit>("Text1")->isEnabled(),
                 steps.contains("Command5") && !steps.contains("Text7=   "));
        QTEST(company->text() + '|' + fx.text_of("Text8") +
                  (company->isReadOnly() ? " read-only" : " writable"),
              "boxes");
        if (steps.contains("Command7"))
            QCOMPARE(QApplication::clipboard()->text(),
                     "Acme Cal\r\nAnn\r\n1 Road" + QString("\r\n").repeated(10));
        // The list always reads as the file: sorted without regard to case, the new entry first.
        const ContactsData data(file);
        QStringList expected{"!!Add New Contact to List"};
        for (std::size_t i = 0; i < data.size(); ++i)
            expected << QString::fromStdString(std::string(data.line(i, company_name)));
        std::stable_sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QVERIFY(steps.contains("unreadable") || fx.lines_of("Combo7") == expected);
    }
};

QTEST_MAIN(ContactsTest)
#include "tst_contacts.moc"
