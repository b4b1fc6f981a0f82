#include "contacts/contacts_file.h"

#include "support/test_env.h"

#include <QTest>

using namespace durnmoor;

namespace {

std::string book(std::initializer_list<std::string> companies)
{
    std::string out;
    for (const std::string &company : companies) {
        out += company + "\r\n";
        for (int line = 2; line <= contact_line_count; ++line)
            out += "\r\n";
    }
    return out;
}

} // namespace

class ContactsFileTest : public QObject {
    Q_OBJECT

private slots:
    // The first company in file order whose name, in small letters, holds the typed text.
    void completion_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("completed"); // empty: left as typed
        QTest::newRow("first in file order") << "cal"
                                             << "Acme Calibration Ltd";
        QTest::newRow("any case") << "GLOBAL"
                                  << "Global Calibration";
        QTest::newRow("empty text: the first") << ""
                                               << "Acme Calibration Ltd";
        QTest::newRow("none holds it") << "xyz"
                                       << "";
    }
    void completion()
    {
        QFETCH(QString, typed);
        QFETCH(QString, completed);
        const ContactsData data(book({"Acme Calibration Ltd", "Global Calibration"}));
        QCOMPARE(QString::fromStdString(data.complete_company(typed).value_or("")), completed);
        QVERIFY(!ContactsData().complete_company({}).has_value());
    }

    void clipboard_is_twelve_lines()
    {
        std::array<QString, contact_line_count> fields;
        fields[0] = "Acme";
        fields[11] = " a@b.c ";
        QCOMPARE(clipboard_text(fields), "Acme" + QString("\r\n").repeated(11) + " a@b.c \r\n");
    }

    void damaged_last_record_is_padded()
    {
        const ContactsData data(book({"Acme"}) + "Cut\r\nJo\r\n");
        QCOMPARE(data.size(), std::size_t(2));
        QCOMPARE(data.record(1)[contact_name], std::string("Jo"));
        QCOMPARE(data.record(1)[email_address], std::string());
    }
};

QTEST_GUILESS_MAIN(ContactsFileTest)
#include "tst_contacts_file.moc"
