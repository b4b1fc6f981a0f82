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
        WindowFixture fx(
            {file_of(odd), "\xb5V-1\r\n05/12/2026\r\n10\r\n#1RESULT\r\nok\r\n#2RESULT\r\n"});
        fx.run("row=1; ctrl-row=0");
        QCOMPARE(fx.list()->toolTip(), "Multiple entries selected");
        QCOMPARE(fx.text_of("Text2"), "second"); // kept, and locked
        fx.run("double-click=2");
        QCOMPARE(fx.text_of("Text29"), "1");
        fx.run("Yes; Command4; row=1; Yes; Command3");
        QCOMPARE(shown_messages(), (QStringList{overwrite, delete_selected}));
        QCOMPARE(fx.products(), file_of({odd[0], odd[2]}));
        fx.run("row=1");
        fx.env.write_file("products.dat", file_of({odd[2]}));
        fx.run("row=0");
        QCOMPARE(fx.form({}), "details: ||");
        QCOMPARE(fx.text_of("Text29") + ' ' + fx.text_of("Text28") + fx.text_of("Text27"),
                 "0 0.00");
    }

    // Listed by description, texts that share far more than their first bytes still come in
    // order, small letters and capitals alike, and alike texts in file order, as a plain sort
    // of their texts would list them; a click on a line shows its own record, alike texts
    // included.
    void lists_long_alike_texts_in_order()
    {
        const char *descriptions[] = {"Calibrated thermometer probe B",
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
                {"N-" + std::to_string(100 + n),
                 descriptions[n * 7 % 10] + (n % 3 ? "" : " " + std::to_string(n % 4))}));
        std::vector<std::size_t> order(records.size());
        std::iota(order.begin(), order.end(), 0);
        const auto text = [&](std::size_t i) {
            return QString::fromStdString(records[i][description]).toLower();
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return text(a) < text(b); });
        WindowFixture f({file_of(records)});
        f.run("Option6");
        const QStringList lines = f.lines_of();
        QCOMPARE(lines.size(), qsizetype(records.size()));
        for (std::size_t row = 0; row < order.size(); ++row) {
            QCOMPARE(lines[qsizetype(row)],
                     QString::fromStdString(records[order[row]][description]));
            if (row % 13 == 0) {
                f.run(QString("row=%1").arg(row));
                QCOMPARE(f.text_of("Text1"),
                         QString::fromStdString(records[order[row]][instrument_no]));
            }
        }
    }
};

QTEST_MAIN(ListingTest)
#include "tst_listing.moc"
