// The address book tab, and the Enter chains of the entry fields with the company completed
// from the book, driven through the main window.
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
        QStringList listed, expected{"!!Add New Contact to List"};
        for (std::size_t i = 0; i < data.size(); ++i)
            expected << QString::fromStdString(std::string(data.line(i, company_name)));
        std::stable_sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        auto *chooser = fx.control<QComboBox>("Combo7");
        for (int i = 0; i < chooser->count(); ++i)
            listed << chooser->itemText(i);
        QVERIFY(steps.contains("unreadable") || listed == expected);
    }

    // Enter moves along a fixed chain of fields, and never further on; Enter in "Calibration
    // Company:" completes the name from the first company of the book that holds it.
    void enter_walks_the_chain_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("walk"); // the field Enter starts in, then where each lands
        QTest::addColumn<QString>("company");
        const QString book_chain = "Text7 Text8 Text9 Text10 Text12 Text30 Text13 Text14 Text15 "
                                   "Text16 Text17 Text18 Command5";
        // clang-format off
        QTest::newRow("details; company empty: the first of the book") << "Command1; Text1=AB-1"
            << "Text1 Text2 Text3 Text4 Text20 Text23 Text24 Text25 Text25" << "Acme Cal";
        QTest::newRow("serial and cost back into the chain") << "Command1" << "Text5 Text19 Text20" << "";
        QTest::newRow("company: any case, file order") << "Command1; Text4=cal" << "Text4 Text20"
            << "Acme Cal";
        QTest::newRow("company in capitals") << "Command1; Text4=GLOBAL" << "Text4 Text20"
            << "Global Calibration";
        QTest::newRow("company nowhere: as typed") << "Command1; Text4=xyz" << "Text4 Text20" << "xyz";
        QTest::newRow("address book, to Save Details, not pressed")
            << "tab=1; Combo7=!!Add New Contact to List" << book_chain << "";
        QTest::newRow("Save Details disabled: stays") << "tab=1; Combo7=Twice" << "Text18 Text18" << "";
        // clang-format on
    }
    void enter_walks_the_chain()
    {
        QFETCH(QString, steps);
        QFETCH(QString, walk);
        WindowFixture fx({.contacts = book});
        fx.run(steps);
        const QStringList fields = walk.split(' ');
        fx.control<QWidget>(qPrintable(fields[0]))->setFocus();
        QStringList landed{fields[0]};
        for (qsizetype i = 1; i < fields.size(); ++i) {
            QTest::keyClick(fx.window->focusWidget(), Qt::Key_Return);
            landed << fx.window->focusWidget()->objectName();
        }
        QCOMPARE(landed.join(' '), walk);
        QTEST(fx.text_of("Text4"), "company");
        QCOMPARE(fx.text_of("Text22"), fx.text_of("Text1")); // the number as typed, on its tab
        QCOMPARE(fx.env.read_file("contacts.dat"), book);
    }
};

QTEST_MAIN(ContactsTest)
#include "tst_contacts.moc"
