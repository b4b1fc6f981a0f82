// The search box: the records that hold every word of its text, and Enter in the box on the
// main window.
#include "register/products_file.h"
#include "register/search_words.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Five records with words in several lines, an empty one, then a register of 64 where a
// rare word leaves few records in the running, each of them then searched alone: that path
// must find what the walk over the whole file finds, to the record's last line.
ProductsData searched()
{
    std::vector<product_record> records{
        make_record({"1", "Bench DMM", "AVAILABLE", " 12 ", "5", "March"}),
        with(make_record({"2", "Handheld meter"}), {{serial_no, "DMM-77"}}),
        with(make_record({"3", "Probe, 10x", "OBSOLETE"}), {{location, "Meter room"}}),
        with(make_record({"4", "Scope probe ZA-1"}),
             {{location, "Meter cupboard"}, {purchase_month, "March"}}),
        make_record({"5", "\xc3\x9c"
                          "BERGANG"}),
        product_record{}};
    for (int n = 1; n <= 64; ++n) {
        product_record record =
            make_record({QString("R-%1").arg(n, 2, 10, QChar('0')).toStdString(),
                         n % 2 ? "Bench meter" : "Scope"});
        record[purchase_order] = "PO-" + std::to_string(n);
        record[product_line_count] = "tail-" + std::to_string(n); // the record's last line
        records.push_back(record);
    }
    records[6 + 6][location] = "Zebra crossing";
    records[6 + 49] = with(records[6 + 49], {{manufacturer, "Zebra \xc3\x9c"
                                                            "ber, quagga"},
                                             {serial_no, "okapi"},
                                             {description, "Meter"}});
    return ProductsData(file_of(records));
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    // Every word in some line of the record, the lines in small letters; an empty word is in
    // every line that is not empty, and the character after a comma always starts the next
    // word, even a comma. Whole-file search and the search of one record agree.
    void finds_records_holding_every_word_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QStringList every{"1", "2", "3", "4", "5"};
        for (int n = 1; n <= 64; ++n)
            every << QString("R-%1").arg(n, 2, 10, QChar('0'));
        // clang-format off
        QTest::newRow("description or serial") << "dmm" << QStringList{"1", "2"};
        QTest::newRow("two fields") << "probe,obsolete" << QStringList{"3"};
        QTest::newRow("month names") << "march" << QStringList{"1", "4"};
        QTest::newRow("blank kept") << "meter, probe" << QStringList{"4"};
        QTest::newRow("second comma in the word") << "probe,, 10x" << QStringList{"3"};
        QTest::newRow("...not a separator") << "probe,,10x" << QStringList{};
        QTest::newRow("empty words: any line") << "," << every;
        QTest::newRow("beyond ASCII") << "\u00fcbergang" << QStringList{"5"};
        QTest::newRow("ASCII word, record beyond ASCII") << "ergang,5" << QStringList{"5"};
        QTest::newRow("not across a line end") << "dmmavailable" << QStringList{};
        QTest::newRow("empty word and a word") << "probe," << QStringList{"3", "4"};
        QTest::newRow("common word, then a rare one") << "meter,zebra" << QStringList{"R-07", "R-50"};
        QTest::newRow("rare word, then one in the last line") << "zebra,tail-7" << QStringList{"R-07"};
        QTest::newRow("rare word, then one in another line") << "zebra,po-50" << QStringList{"R-50"};
        QTest::newRow("rare word, then one only other records hold") << "zebra,scope" << QStringList{};
        QTest::newRow("rare word, then one beyond ASCII") << "zebra,\u00fcber" << QStringList{"R-50"};
        QTest::newRow("three rare words") << "zebra,quagga,okapi" << QStringList{"R-50"};
        // clang-format on
    }
    void finds_records_holding_every_word()
    {
        QFETCH(QString, text);
        static const ProductsData data = searched();
        RecordSearch search(search_words(text));
        const std::vector<bool> matched = search.matching(data);
        QStringList numbers;
        for (std::size_t i = 0; i < data.size(); ++i) {
            QVERIFY2(bool(matched[i]) == search.matches(data, i), qPrintable(QString::number(i)));
            if (matched[i])
                numbers << QString::fromStdString(std::string(data.line(i, instrument_no)));
        }
        QTEST(numbers, "found");
    }

    // The untouched box, like blanks alone, lists everything; its start text is searched for
    // only among other words. Blanks around the words are dropped. The list comes to the front.
    void enter_in_the_search_box()
    {
        WindowFixture f(
            {file_of({with(make_record({"1", "Type in search"}), {{location, "criteria here"}}),
                      with(make_record({"2"}), {{location, "type in search criteria here"}}),
                      make_record({"3"})})});
        const auto search = [&f](const QString &typed) {
            f.run(typed);
            QTest::keyClick(f.control<QLineEdit>("Text31"), Qt::Key_Return);
            return f.lines_of();
        };
        QCOMPARE(search("tab=2"), (QStringList{"1", "2", "3"}));
        QCOMPARE(f.control<QTabWidget>("SSTab1")->currentIndex(), 0);
        QCOMPARE(f.window->windowTitle(), f.window->caption());
        QCOMPARE(search("Text31=   "), (QStringList{"1", "2", "3"}));
        QCOMPARE(search("Text31= criteria here "), (QStringList{"1", "2"}));
        QCOMPARE(search("Text31=Type in search criteria here,2"), QStringList{"2"});
    }
};

QTEST_MAIN(SearchTest)
#include "tst_search.moc"
