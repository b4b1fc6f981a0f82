// The search box: the words of its text, and the instruments whose records hold them all.
#include "register/products_file.h"
#include "register/search_words.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    // The character after a comma always starts the next word, even a comma; the 50th word
    // takes the rest, its commas dropped.
    void splits_into_words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QStringList sixty;
        for (int i = 1; i <= 60; ++i)
            sixty << QStringLiteral("w%1").arg(i);
        // clang-format off
        QTest::newRow("small letters, blanks kept") << "DMM, Probe " << QStringList{"dmm", " probe "};
        QTest::newRow("comma at either end") << ",meter," << QStringList{"", "meter", ""};
        QTest::newRow("comma after comma") << "a,,b,,,c" << QStringList{"a", ",b", ",", "c"};
        QTest::newRow("60 words") << sixty.join(',') << sixty.mid(0, 49) + QStringList{sixty.mid(49).join("")};
        // clang-format on
    }
    void splits_into_words()
    {
        QFETCH(QString, text);
        QTEST(wildcards(text), "words");
    }

    // Every word in some line of the record, the lines in small letters; an empty word is in
    // every line that is not empty.
    void finds_records_holding_every_word_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        // clang-format off
        QTest::newRow("description or serial") << "dmm" << QStringList{"1", "2"};
        QTest::newRow("two fields") << "probe,obsolete" << QStringList{"3"};
        QTest::newRow("capitals") << "za-" << QStringList{"4"};
        QTest::newRow("month names") << "march" << QStringList{"1", "4"};
        QTest::newRow("blank kept") << "meter, probe" << QStringList{"4"};
        QTest::newRow("second comma in the word") << "probe,, 10x" << QStringList{"3"};
        QTest::newRow("...not a separator") << "probe,,10x" << QStringList{};
        QTest::newRow("empty words: any line") << "," << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("beyond ASCII") << "\u00fcbergang" << QStringList{"5"};
        // clang-format on
    }
    void finds_records_holding_every_word()
    {
        QFETCH(QString, text);
        const ProductsData data(
            file_of({make_record({"1", "Bench DMM", "AVAILABLE", " 12 ", "5", "March"}),
                     with(make_record({"2", "Handheld meter"}), {{serial_no, "DMM-77"}}),
                     with(make_record({"3", "Probe, 10x", "OBSOLETE"}), {{location, "Meter room"}}),
                     with(make_record({"4", "Scope probe ZA-1"}),
                          {{location, "Meter cupboard"}, {purchase_month, "March"}}),
                     make_record({"5", "\xc3\x9c"
                                       "BERGANG"}),
                     product_record{}}));
        RecordSearch search(wildcards(text));
        QStringList numbers;
        for (std::size_t i = 0; i < data.size(); ++i)
            if (search.matches(data, i))
                numbers << QString::fromStdString(std::string(data.line(i, instrument_no)));
        QTEST(numbers, "found");
    }

    // The untouched box searches for its own text as one word; blanks alone list everything,
    // and blanks around the words are dropped. The list comes to the front.
    void enter_in_the_search_box()
    {
        WindowFixture f(
            file_of({with(make_record({"1", "Type in search"}), {{location, "criteria here"}}),
                     with(make_record({"2"}), {{location, "type in search criteria here"}}),
                     make_record({"3"})}));
        f.show_tab(2);
        const auto search = [&f](const char *text) {
            if (text)
                f.type_over("Text31", text);
            QTest::keyClick(f.control<QLineEdit>("Text31"), Qt::Key_Return);
            return f.list_lines();
        };
        QCOMPARE(search(nullptr), QStringList{"2"});
        QCOMPARE(f.current_tab(), 0);
        QCOMPARE(f.window->windowTitle(), f.window->state().caption_text);
        QCOMPARE(search("   "), (QStringList{"1", "2", "3"}));
        QCOMPARE(search(" criteria here "), (QStringList{"1", "2"}));
    }
};

QTEST_MAIN(SearchTest)
#include "tst_search.moc"
