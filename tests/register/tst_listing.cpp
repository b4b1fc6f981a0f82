// The instrument list: the order of lines that read alike, and each line leading to its own
// record, whatever bytes its number holds.
#include "register_questions.h"
#include "support/window_fixture.h"

#include <numeric>

using namespace durnmoor;
using namespace durnmoor::test;

class ListingTest : public QObject {
    Q_OBJECT

private slots:
    // Numbers brought over from another system: both of the first two read as the replacement
    // character, and 0xB5 is no UTF-8. Each line still leads to its own record, the history is
    // found by the bytes, and an edit writes them back as they were. Several lines selected
    // load nothing; a line whose record another copy of the program took away loads blank
    // fields and no history.
    void lines_lead_to_their_own_records()
    {
        const std::vector<product_record> odd{make_record({"\xff", "first"}),
                                              make_record({"\xfe", "second"}),
                                              make_record({"\xb5V-1", "Probe \xb5"})};
        WindowFixture fx(file_of(odd),
                         "\xb5V-1\r\n05/12/2026\r\n10\r\n#1RESULT\r\nok\r\n#2RESULT\r\n");
        fx.run("row=1; ctrl-row=0");
        QCOMPARE(fx.list()->toolTip(), "Multiple entries selected");
        QCOMPARE(fx.text_of("Text2"), "second"); // kept, and locked
        fx.run("double-click=2");
        QCOMPARE(fx.text_of("Text29"), "1");
        fx.run("Yes; Command4; row=1; Yes; Command3");
        QCOMPARE(shown_messages(), (QStringList{overwrite, delete_selected}));
        COMPARE_FILE(fx.products(), file_of({odd[0], odd[2]}));
        fx.run("row=1");
        fx.env.write_file("products.dat", file_of({odd[2]}));
        fx.run("row=0");
        QCOMPARE(fx.form({}), "details: ||");
        QCOMPARE(fx.text_of("Text29") + ' ' + fx.text_of("Text28") + fx.text_of("Text27"),
                 "0 0.00");
    }

    // Listed by description, texts that share far more than their first bytes still come in
    // order, small letters and capitals alike, and alike texts in file order; a register of
    // many such records is listed as a plain sort of their texts would list it.
    void lists_long_alike_texts_in_order()
    {
        const std::vector<std::string> descriptions = {"Calibrated thermometer probe B",
                                                       "calibrated thermometer probe a",
                                                       "CALIBRATED THERM",
                                                       "Calibrated thermometer",
                                                       "Calibrated thermometer probe B",
                                                       "calibrated therm",
                                                       "Calibrated thermometer probe",
                                                       "Calibrated thermometer probe b2",
                                                       "Calibrated therma",
                                                       "A"};
        std::vector<product_record> records;
        for (int n = 0; n < 60; ++n)
            records.push_back(make_record(
                {"N-" + std::to_string(100 + n), descriptions[std::size_t(n * 7 % 10)] +
                                                     (n % 3 ? "" : " " + std::to_string(n % 4))}));
        WindowFixture f(file_of(records));
        f.run("Option6");
        QStringList expected;
        for (const product_record &record : records)
            expected << QString::fromStdString(record[description]);
        std::stable_sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
            return a.toLower() < b.toLower();
        });
        QCOMPARE(f.lines_of(), expected);
        // A click on each line shows its own record, alike texts included.
        const auto numbers_in_order = [&] {
            QStringList numbers;
            for (int row = 0; row < f.list()->model()->rowCount(); row += 13) {
                f.run(QString("row=%1").arg(row));
                numbers << f.text_of("Text1");
            }
            return numbers;
        };
        QStringList by_text;
        std::vector<std::size_t> order(records.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return QString::fromStdString(records[a][description]).toLower() <
                   QString::fromStdString(records[b][description]).toLower();
        });
        for (std::size_t row = 0; row < order.size(); row += 13)
            by_text << QString::fromStdString(records[order[row]][instrument_no]);
        QCOMPARE(numbers_in_order(), by_text);
    }
};

QTEST_MAIN(ListingTest)
#include "tst_listing.moc"
