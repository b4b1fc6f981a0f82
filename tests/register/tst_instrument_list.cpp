#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(std::string)

namespace {

std::string register_of(std::initializer_list<RecordFields> fields_list)
{
    std::vector<product_record> records;
    for (const auto &fields : fields_list)
        records.push_back(make_record(fields));
    return file_of(records);
}

} // namespace

class InstrumentListTest : public QObject {
    Q_OBJECT

private slots:
    void lists_sorted_as_text_by_number_or_description()
    {
        WindowFixture f(register_of({{"9", "scope"}, {"10", "Bridge"}, {"A1", "ammeter"}}));
        QCOMPARE(f.list_lines(), (QStringList{"10", "9", "A1"}));
        f.click_button("Option6");
        QCOMPARE(f.list_lines(), (QStringList{"ammeter", "Bridge", "scope"}));
        f.click_button("Option5");
        QCOMPARE(f.list_lines(), (QStringList{"10", "9", "A1"}));
    }

    void filters_by_availability_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("available") << "listava" << QStringList{"1", "3"};
        QTest::newRow("obsolete") << "listobsol" << QStringList{"2", "4"};
        QTest::newRow("full") << "fulllist" << QStringList{"1", "2", "3", "4", "5"};
    }

    void filters_by_availability()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, listed);
        WindowFixture f(register_of({{"1", "a", "AVAILABLE"},
                                     {"2", "b", "OBSOLETE"},
                                     {"3", "c", "available"},
                                     {"4", "d", "Obsolete"},
                                     {"5", "e", "UNKNOWN"}}));
        f.control<QTabWidget>("SSTab1")->setCurrentIndex(2);
        f.trigger(action.toLatin1().constData());
        QCOMPARE(f.list_lines(), listed);
        QCOMPARE(f.control<QTabWidget>("SSTab1")->currentIndex(), 0);
        QVERIFY(f.window->windowTitle().startsWith(QStringLiteral("Durnmoor V1.0")));
        // A filtered listing opens the entry area under the edit right.
        QVERIFY(f.control<QPushButton>("Command1")->isEnabled());
        QVERIFY(f.control<QLineEdit>("Text1")->isEnabled());
    }

    void small_letter_available_is_listed_but_shown_obsolete()
    {
        WindowFixture f(register_of({{"3", "c", "available"}}));
        f.trigger("listava");
        QCOMPARE(f.list_lines(), QStringList{"3"});
        f.click_rows({0});
        QVERIFY(f.control<QRadioButton>("Option4")->isChecked());
        QVERIFY(!f.control<QRadioButton>("Option3")->isChecked());
    }

    void changing_the_order_drops_the_filter()
    {
        WindowFixture f(register_of({{"1", "a", "AVAILABLE"}, {"2", "b", "OBSOLETE"}}));
        f.trigger("listobsol");
        QCOMPARE(f.list_lines(), QStringList{"2"});
        f.click_button("Option6");
        QCOMPARE(f.list_lines(), (QStringList{"a", "b"}));
    }

    void selecting_shows_every_field()
    {
        RecordFields fields{"DMM-014", "Bench multimeter", "AVAILABLE", " 12 ", "5", "December",
                            "2026",    "INTERNAL",         "100"};
        product_record record = make_record(fields);
        record[location] = "Lab 2";
        record[cal_company] = "Acme Calibration";
        record[serial_no] = " SN 77 ";
        record[manufacturer] = "Fluke";
        record[asset_value] = "450.00";
        record[purchased_from] = "RS";
        record[purchase_order] = "PO-9";
        WindowFixture f(file_of({record}));
        f.click_rows({0});

        const QList<std::pair<const char *, QString>> boxes{
            {"Text1", "DMM-014"}, {"Text2", "Bench multimeter"},
            {"Text3", "Lab 2"},   {"Text4", "Acme Calibration"},
            {"Text5", "100"},     {"Text19", " SN 77 "},
            {"Text20", "Fluke"},  {"Text23", "450.00"},
            {"Text24", "RS"},     {"Text25", "PO-9"},
            {"Text22", "DMM-014"}};
        for (const auto &[name, text] : boxes)
            QCOMPARE(f.control<QLineEdit>(name)->text(), text);
        QVERIFY(f.control<QRadioButton>("Option1")->isChecked());
        QVERIFY(f.control<QRadioButton>("Option3")->isChecked());
        QCOMPARE(f.control<QComboBox>("Combo2")->currentText(), QStringLiteral("1"));
        QCOMPARE(f.control<QComboBox>("Combo3")->currentText(), QStringLiteral("January"));
        QCOMPARE(f.control<QComboBox>("Combo4")->currentText(), QStringLiteral("2020"));
        QCOMPARE(f.control<QComboBox>("Combo1")->currentText(), QStringLiteral("5"));
        QCOMPARE(f.control<QComboBox>("Combo5")->currentText(), QStringLiteral("December"));
        QCOMPARE(f.control<QComboBox>("Combo6")->currentText(), QStringLiteral("2026"));
        // The view is read-only until the user edits.
        QVERIFY(!f.control<QLineEdit>("Text1")->isEnabled());
    }

    void an_unknown_mode_keeps_externally()
    {
        WindowFixture f(
            register_of({{"1", "a", "AVAILABLE", " 12 ", "5", "December", "2026", "internal"}}));
        f.click_rows({0});
        QVERIFY(f.control<QRadioButton>("Option2")->isChecked());
    }

    // Each line leads to the record it was made from, however alike the lines look: a click
    // shows it, Delete removes it alone. Stray line ends after the last record are no line.
    void lines_alike_lead_to_their_own_records_data()
    {
        QTest::addColumn<QByteArray>("order");
        QTest::addColumn<std::string>("first"); // key bytes of the first and second record
        QTest::addColumn<std::string>("second");
        QTest::newRow("one description")
            << QByteArray("Option6") << std::string("Multimeter") << std::string("Multimeter");
        // Both read as the replacement character under UTF-8.
        QTest::newRow("numbers the encoding cannot show")
            << QByteArray("Option5") << std::string("\xff") << std::string("\xfe");
    }
    void lines_alike_lead_to_their_own_records()
    {
        QFETCH(QByteArray, order);
        QFETCH(std::string, first);
        QFETCH(std::string, second);
        const bool by_number = order == "Option5";
        const product_record a =
            make_record(by_number ? RecordFields{first, "first"} : RecordFields{"M-1", first});
        const product_record b =
            make_record(by_number ? RecordFields{second, "second"} : RecordFields{"M-2", second});
        WindowFixture f(file_of({a, b}) + "\r\n");
        f.click_button(order.constData());
        QCOMPARE(f.list()->count(), 2);
        for (int row : {0, 1}) {
            f.click_rows({row});
            QCOMPARE(f.text_of(by_number ? "Text2" : "Text1"),
                     QString::fromLatin1(by_number ? (row ? "second" : "first")
                                                   : (row ? "M-2" : "M-1")));
        }
        f.run("Yes; Command3"); // the second line is still selected
        COMPARE_FILE(f.products(), file_of({a}));
    }

    void multiple_selection_loads_nothing()
    {
        WindowFixture f(register_of({{"1", "a"}, {"2", "b"}, {"3", "c"}}));
        f.click_rows({0});
        QCOMPARE(f.control<QLineEdit>("Text1")->text(), QStringLiteral("1"));
        f.click_rows({0, 2});
        QCOMPARE(f.list()->selectedItems().size(), 2);
        QCOMPARE(f.list()->toolTip(), QStringLiteral("Multiple entries selected"));
        QCOMPARE(f.control<QLineEdit>("Text1")->text(), QStringLiteral("1")); // kept, locked
        QVERIFY(!f.control<QLineEdit>("Text1")->isEnabled());
        f.click_rows({1});
        QCOMPARE(f.control<QLineEdit>("Text1")->text(), QStringLiteral("2"));
        QVERIFY(f.list()->toolTip().startsWith(QStringLiteral("2 (b) due ")));
    }

    void a_record_gone_from_the_file_loads_blank_fields()
    {
        WindowFixture f(register_of(
            {{"1", "a", "AVAILABLE", " 12 ", "5", "December", "2026", "EXTERNAL", "100"}}));
        f.env.write_file("products.dat", register_of({{"2", "b"}}));
        f.click_rows({0});
        QCOMPARE(f.control<QLineEdit>("Text1")->text(), QString());
        QCOMPARE(f.control<QLineEdit>("Text29")->text(), QStringLiteral("0"));
        QCOMPARE(f.control<QLineEdit>("Text28")->text(), QStringLiteral("0.00"));
        QCOMPARE(f.control<QLineEdit>("Text27")->text(), QString());
    }

    void bytes_the_encoding_cannot_decode_survive_an_edit()
    {
        // A register brought over from another system: 0xB5 is no UTF-8.
        const product_record micro = make_record({"\xb5V-1", "Probe \xb5"});
        WindowFixture f(file_of({micro}),
                        "\xb5V-1\r\n05/12/2025\r\n10\r\n#1RESULT\r\nok\r\n#2RESULT\r\n");
        f.double_click_row(0);
        QCOMPARE(f.control<QLineEdit>("Text29")->text(), QStringLiteral("1"));
        Messages::queue_answer(QMessageBox::Yes);
        f.click_button("Command4");
        QCOMPARE(Messages::shown().size(), std::size_t(1)); // the overwrite question: found
        QCOMPARE(f.products(), file_of({micro}));
    }

    void double_click_follows_the_edit_right_data()
    {
        QTest::addColumn<QString>("edit_right");
        QTest::addColumn<bool>("editable");
        QTest::newRow("with the right") << "1" << true;
        QTest::newRow("without") << "0" << false;
    }

    void double_click_follows_the_edit_right()
    {
        QFETCH(QString, edit_right);
        QFETCH(bool, editable);
        WindowFixture f(register_of({{"1", "a"}}));
        f.window->state().set_right(3, edit_right);
        f.double_click_row(0);
        QCOMPARE(f.control<QTabWidget>("SSTab1")->currentIndex(), 2);
        QCOMPARE(f.control<QLineEdit>("Text1")->isEnabled(), editable);
        QCOMPARE(f.control<QPushButton>("Command4")->isEnabled(), editable);
        QCOMPARE(f.control<QPushButton>("Command9")->isEnabled(), editable);
        QCOMPARE(f.control<QPushButton>("Command1")->isEnabled(), false == editable);
        QVERIFY(Messages::shown().empty());
    }
};

QTEST_MAIN(InstrumentListTest)
#include "tst_instrument_list.moc"
