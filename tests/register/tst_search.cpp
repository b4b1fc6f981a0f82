#include "register/products_file.h"
#include "register/search_words.h"
#include "support/window_fixture.h"

#include <QLineEdit>

using namespace durnmoor;
using namespace durnmoor::test;

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    void splits_into_words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("small letters, blanks kept")
            << "DMM, Probe " << QStringList{"dmm", " probe "};
        QTest::newRow("comma at either end") << ",meter," << QStringList{"", "meter", ""};
        QTest::newRow("comma after comma") << "a,,b,,,c" << QStringList{"a", ",b", ",", "c"};
        QTest::newRow("two commas alone") << ",," << QStringList{"", ","};
        QStringList sixty;
        for (int i = 1; i <= 60; ++i)
            sixty << QStringLiteral("w%1").arg(i);
        QTest::newRow("60 words") << sixty.join(',')
                                  << sixty.mid(0, 49) + QStringList{sixty.mid(49).join("")};
    }
    void splits_into_words()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(wildcards(text), words);
    }

    void finds_records_holding_every_word_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("description or serial") << "dmm" << QStringList{"1", "2"};
        QTest::newRow("two fields") << "probe,obsolete" << QStringList{"3"};
        QTest::newRow("capitals at either end") << "za-" << QStringList{"4"};
        QTest::newRow("month names") << "january" << QStringList{"1", "4"};
        QTest::newRow("meter") << "meter" << QStringList{"2", "3", "4"};
        QTest::newRow("meter,") << "meter," << QStringList{"2", "3", "4"};
        QTest::newRow("blank kept") << "meter, probe" << QStringList{"4"};
        QTest::newRow("second comma in the word") << "probe,, 10x" << QStringList{"3"};
        QTest::newRow("...not a separator") << "probe,,10x" << QStringList{};
        QTest::newRow("empty words: any line") << "," << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("beyond ASCII") << "\u00fcbergang" << QStringList{"5"};
    }
    void finds_records_holding_every_word()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        std::vector<product_record> records{
            make_record({"1", "Bench DMM", "AVAILABLE", " 12 ", "5", "January"}),
            make_record({"2", "Handheld meter"}), make_record({"3", "Probe, 10x", "OBSOLETE"}),
            make_record({"4", "Scope probe ZA-1"}),
            make_record({"5", "\xc3\x9c"
                              "BERGANG"})};
        for (product_record &record : records)
            record[purchase_month] = "March";
        records.push_back(product_record{}); // wholly blank
        records[1][serial_no] = "DMM-77";
        records[2][location] = "Meter room";
        records[3][location] = "Meter cupboard";
        records[3][purchase_month] = "January";
        const ProductsData data(file_of(records));
        RecordSearch search(wildcards(text));
        QStringList numbers;
        for (std::size_t i = 0; i < data.size(); ++i)
            if (search.matches(data, i))
                numbers << QString::fromStdString(std::string(data.line(i, instrument_no)));
        QCOMPARE(numbers, found);
    }

    // The untouched box searches for its own text as one word; blanks alone list everything,
    // and blanks around the words are dropped.
    void enter_in_the_search_box()
    {
        std::vector<product_record> records{make_record({"1", "Type in search"}),
                                            make_record({"2"}), make_record({"3"})};
        records[0][location] = "criteria here";
        records[1][location] = "type in search criteria here";
        WindowFixture f(file_of(records));
        f.show_tab(2);
        QTest::keyClick(f.control<QLineEdit>("Text31"), Qt::Key_Return);
        QCOMPARE(f.list_lines(), QStringList{"2"});
        QCOMPARE(f.current_tab(), 0);
        QCOMPARE(f.window->windowTitle(), f.window->state().caption_text);
        f.type_over("Text31", "   ");
        QTest::keyClick(f.control<QLineEdit>("Text31"), Qt::Key_Return);
        QCOMPARE(f.list_lines(), (QStringList{"1", "2", "3"}));
        f.type_over("Text31", " criteria here ");
        QTest::keyClick(f.control<QLineEdit>("Text31"), Qt::Key_Return);
        QCOMPARE(f.list_lines(), (QStringList{"1", "2"}));
    }
};

QTEST_MAIN(SearchTest)
#include "tst_search.moc"
