// products.dat as read and rewritten record by record, and the number form of its interval
// line; then the instrument list and the editing of instruments through the main window's
// own buttons, checked on the bytes of products.dat, the questions asked, the list and the form;
// and the search box.
#include "access/accounts_file.h"
#include "contacts/contacts_file.h"
#include "register/products_file.h"
#include "register/search_words.h"
#include "support/window_fixture.h"
#include "text/number_form.h"

#include <QScopeGuard>

#include <numeric>

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(std::string)

namespace {

const QString overwrite = "Information \"Durnmoor Duplicate Record Alert\": This record already "
                          "exists, overwrite ? (Yes|No, default No)";
const QString delete_selected =
    "Information \"Durnmoor Tool Removal Alert\": Delete Selected? (Yes|No, default No)";
const QString nothing_selected = "Information \"Durnmoor\": To %1 a Product, you must first select "
                                 "one (if available) from the list. (Ok, default Ok)";

// Notes in line 30 and in B-200's first and last reserved lines, as other tools leave them.
// Availability and mode are written in every case the file may hold them.
const std::vector<product_record> loaded{
    with(make_record({"A-100", "Multimeter", "UNKNOWN"}), {{30, "note 0"}}),
    with(make_record({"B-200", "Scope"}), {{20, "reserved first"}, {30, "note 1"}, {50, "last"}}),
    with(make_record(
             {"C-300", "Multimeter", "available", " 12 ", "5", "December", "2026", "internal"}),
         {{30, "note 2"}}),
    with(make_record({"D-400", "gauge", "OBSOLETE"}), {{30, "note 3"}}),
    with(make_record({"K-1", "Probe"}), {{30, "note 4"}}),
    with(make_record({"K-1", "Probe spare", "Obsolete"}), {{30, "note 5"}})};

// What Add puts into the entry fields: the defaults, and today as the purchase date (lines 9 to
// 11) and the last calibration.
const product_record blank =
    with(make_record({.day = "05"}), {{9, "05"}, {10, "December"}, {11, "2026"}});

// The numbers of the records that hold every word of text, found over the whole file; each
// record matched alone must agree.
QStringList found_by(const ProductsData &data, const QString &text)
{
    RecordSearch search(wildcards(text));
    const std::vector<bool> matched = search.matching(data);
    QStringList numbers;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (bool(matched[i]) != search.matches(data, i))
            return {"whole-file search and record search disagree on record " + QString::number(i)};
        if (matched[i])
            numbers << QString::fromStdString(std::string(data.line(i, instrument_no)));
    }
    return numbers;
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT

private slots:
    // What a rewrite that copies every record and appends one writes: every byte of whole
    // records kept, a record cut short filled up with empty lines, line ends made CR LF.
    // Stray line ends after the last record are no instrument.
    void read_and_rewritten_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<std::string>("rewritten");
        const product_record a = with(make_record({"1", "A"}), {{20, "first reserved"}});
        const product_record odd = with(make_record({"\xe9\xe8-\x01", "caf\xc3\xa9 \xff\xfe"}),
                                        {{45, "\t tab and trailing blanks   "}, {50, "last"}});
        const product_record cut = with(make_record({"2", "Cut"}), {{20, "partial"}});
        const auto cut_after = [&](int lines) {
            product_record kept = cut;
            for (int n = lines + 1; n <= product_line_count; ++n)
                kept[n].clear();
            return kept;
        };
        std::string cut20 = file_of({a}), lf;
        for (int n = 1; n <= 20; ++n)
            cut20 += cut[n] + (n < 20 ? "\r\n" : ""); // the last line end missing too
        for (const char c : file_of({a}))
            if (c != '\r')
                lf += c;
        QTest::newRow("bytes as they are") << file_of({a, odd}) << 2 << file_of({a, odd});
        QTest::newRow("bare LF") << lf << 1 << file_of({a});
        QTest::newRow("cut inside line 20") << cut20 << 2 << file_of({a, cut_after(20)});
        QTest::newRow("one line") << file_of({a}) + "2\r\n" << 2 << file_of({a, cut_after(1)});
        QTest::newRow("one stray line end") << file_of({a}) + "\r\n" << 1 << file_of({a});
        QTest::newRow("bare line ends") << file_of({a}) + "\n\n\n" << 1 << file_of({a});
        QTest::newRow("stray line ends alone") << std::string("\r\n\n") << 0 << std::string();
        QTest::newRow("an empty line, then content") << file_of({a}) + "\r\nX\r\n"
                                                     << 2 << file_of({a, with({}, {{2, "X"}})});
    }
    void read_and_rewritten()
    {
        QFETCH(std::string, bytes);
        QFETCH(int, records);
        QFETCH(std::string, rewritten);
        const product_record added = make_record({"3", "Added"});
        const ProductsData data(bytes);
        QCOMPARE(data.size(), std::size_t(records));
        ProductsRewrite rewrite(data);
        for (std::size_t i = 0; i < data.size(); ++i)
            rewrite.copy(i);
        rewrite.write(added);
        COMPARE_FILE(rewrite.bytes(), rewritten + file_of({added}));
        QCOMPARE(ProductsData(rewrite.bytes()).record(data.size()).lines, added.lines);
    }

    // Whatever path a field comes by, a line break in it never reaches a record file: the
    // writer refuses the record, the file stays as it was and the user is told which field.
    void record_writers_refuse_line_breaks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<std::string>("field");
        QTest::addColumn<QString>("named");
        // clang-format off
        QTest::newRow("number, LF") << "products.dat" << 1 << std::string("LB-1\nEVIL") << "Instrument No";
        QTest::newRow("purchase order, CR") << "products.dat" << 19 << std::string("PO\r") << "Purchase Order No";
        QTest::newRow("reserved line, CR LF") << "products.dat" << 30 << std::string("\r\n") << "line 30 of the record";
        QTest::newRow("e-mail address") << "contacts.dat" << 12 << std::string("a@b\nc") << "E-Mail Address";
        QTest::newRow("password") << "security.dat" << 2 << std::string("pw\n") << "Password";
        // clang-format on
    }
    void record_writers_refuse_line_breaks()
    {
        QFETCH(QString, file);
        QFETCH(int, line);
        QFETCH(std::string, field);
        TestEnv env;
        const std::string old = crlf_lines({"kept"}); // a record cut short, read padded
        env.write_file(file, old);
        const DataFilePlace place = file == "products.dat"   ? products_file(env.dir())
                                    : file == "contacts.dat" ? contacts_file(env.dir())
                                                             : accounts_file(env.dir());
        DataFile data = DataFile::read_for_rewrite(place);
        const auto records =
            file == "products.dat"   ? std::unique_ptr<RecordFile>(new ProductsData(data.bytes()))
            : file == "contacts.dat" ? std::unique_ptr<RecordFile>(new ContactsData(data.bytes()))
                                     : std::unique_ptr<RecordFile>(new AccountsData(data.bytes()));
        RecordRewrite rewrite(*records);
        rewrite.copy(0);
        std::vector<std::string> lines(std::size_t(records->record_lines()), "x");
        QVERIFY(rewrite.write(lines)); // a whole record goes in
        lines[std::size_t(line - 1)] = field;
        QVERIFY(!rewrite.write(lines));
        QCOMPARE(rewrite.refused_line(), std::optional<int>(line));

        const WriteOutcome outcome = replace_with(data, rewrite);
        QVERIFY(!outcome.ok);
        QFETCH(QString, named);
        QCOMPARE(outcome.reason,
                 "The field \"" + named + "\" holds a line break, which would split the record.");
        QCOMPARE(env.read_file(file), old);
        QVERIFY(!env.exists(QFileInfo(place.twin_path).fileName()));
    }

    // The interval line: the leading number of what is stored or typed, and the form it is
    // stored in, which reads back as the same value. Never the exponent form, which other
    // readers of the file would take for 1.
    void number_forms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("stored");
        // clang-format off
        QTest::newRow("blanks, tab and plus") << QByteArray(" \t +7") << 7.0 << QByteArray(" 7 ");
        QTest::newRow("point first") << QByteArray(" -.5 ") << -0.5 << QByteArray("-.5 ");
        QTest::newRow("negative zero") << QByteArray("-0") << -0.0 << QByteArray(" 0 ");
        QTest::newRow("exponent") << QByteArray("1e5x") << 1e5 << QByteArray(" 100000 ");
        QTest::newRow("exponent without digits") << QByteArray("12e") << 12.0 << QByteArray(" 12 ");
        QTest::newRow("tiny") << QByteArray("1E-7") << 1e-7 << QByteArray(" .0000001 ");
        QTest::newRow("sign and point alone") << QByteArray("-.") << 0.0 << QByteArray(" 0 ");
        QTest::newRow("overflow") << QByteArray("1e999") << 0.0 << QByteArray(" 0 ");
        // clang-format on
    }
    void number_forms()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(leading_number(text.toStdString()), value);
        QTEST(QByteArray::fromStdString(number_form(value)), "stored");
        QCOMPARE(leading_number(number_form(value)), value);
    }

    void scenario_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("form"); // the tab, Text1|Text2| and the enabled controls

        const auto &r = loaded;
        const std::string before = file_of(r);
        const auto appended = [&](const product_record &record) {
            return before + file_of({record});
        };
        const QStringList none, asked{overwrite}, sure{delete_selected};
        const QString numbers = "A-100, B-200, C-300, D-400, K-1, K-1";
        const QString saved = "details: || Command2 Command3 Command13 Command14";
        const QString entering =
            "details: %1| Text1 Command2 Command3 Command4 Command13 Command14";
        const QString editing = entering + " Command9"; // an instrument open: it can be calibrated
        const QString closed = "%1: %2| Command1 Command2 Command3 Command13 Command14";
        const QString open = "listing: || Text1 Command1 Command2 Command3 Command13 Command14";

        // In the first row each typed text is the number of the record line it belongs in; the
        // dates shown before Add give way to today's.
        // clang-format off
        QTest::newRow("add: every field to its line, internal, obsolete, fraction")
            << "row=1; Command1; Text1=N-9; Text2=2; Text3=3; Text4=4; Text5=5; Text19=15; "
               "Text20=16; Text23=17; Text24=18; Text25=19; Option1; Option4; paste Text6=1.5; "
               "Command4"
            << appended(with(blank, {{1, "N-9"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}, {15, "15"},
                   {16, "16"}, {17, "17"}, {18, "18"}, {19, "19"}, {cal_mode, "INTERNAL"},
                   {availability, "OBSOLETE"}, {interval_months, " 1.5 "}}))
            << none << numbers + ", N-9" << saved;
        QTest::newRow("add: number trimmed, serial kept, ref only, negative")
            << "Command1; Text1=  Q-1  ; Text19=  SN 9  ; Option7; paste Text6=-3; Command4"
            << appended(with(blank, {{1, "Q-1"}, {serial_no, "  SN 9  "}, {cal_mode, "REF ONLY"},
                   {interval_months, "-3 "}})) << none << numbers + ", Q-1" << saved;
        // A line break can only come in by a paste or a program setting the text; either way
        // it becomes one blank, so the record keeps its 50 lines.
        QTest::newRow("add: pasted line breaks become blanks")
            << "Command1; paste Text1=LB-1\nEVIL; paste Text2=a\r\nb\rc; Text19=x; Command4"
            << appended(with(blank, {{1, "LB-1 EVIL"}, {2, "a b c"}, {serial_no, "x"}}))
            << none << numbers + ", LB-1 EVIL" << saved;
        QTest::newRow("add: number in blanks exists, each record with it replaced in place")
            << "Command1; Text1=  K-1  ; Yes; Yes; Command4"
            << file_of({r[0], r[1], r[2], r[3], with(blank, {{1, "K-1"}, {30, "note 4"}}),
                   with(blank, {{1, "K-1"}, {30, "note 5"}})}) << QStringList{overwrite, overwrite}
            << numbers << saved;
        QTest::newRow("edit, same number, Yes: in its place, reserved lines kept")
            << "row=1; Command13; Text2=Scope 2; Option1; Yes; Command4" << file_of({r[0],
                   with(r[1], {{2, "Scope 2"}, {6, "INTERNAL"}}), r[2], r[3], r[4], r[5]})
            << asked << numbers << saved;
        QTest::newRow("edit by double-click, same number, No: nothing written")
            << "double-click=1; Text2=Changed; No; Command4" << before << asked << numbers
            << editing.arg("B-200|Changed");
        QTest::newRow("edit on the details tab, new number: appended without lines 20-50")
            << "row=1; tab=2; Command14; Text1=B-201; Command4"
            << appended(with(r[1], {{1, "B-201"}, {20, ""}, {30, ""}, {50, ""}})) << none
            << "A-100, B-200, B-201, C-300, D-400, K-1, K-1" << saved;
        // A small-letter "available" is listed as available but shown, and so saved, obsolete;
        // a mode the program does not know leaves the option as it was.
        QTest::newRow("edit from the available listing")
            << "listava; double-click=1; Yes; Command4"
            << file_of({r[0], r[1], with(r[2], {{6, "EXTERNAL"}, {7, "OBSOLETE"}}), r[3], r[4],
                   r[5]})
            << asked << numbers << saved;
        QTest::newRow("numbers differing in case are different keys")
            << "Command1; Text1=k-1; Command4; row=6; Yes; Command3" << before << sure
            << numbers << "details: || Text1 Command1 Command2 Command3 Command13 Command14";
        QTest::newRow("cancel after add: nothing written") << "Command1; Text1=N-9; Command2"
            << before << none << numbers << closed.arg("details", "|");
        QTest::newRow("cancel ends the calibration of the open instrument")
            << "double-click=1; Command2" << before << none << numbers
            << closed.arg("details", "|");
        QTest::newRow("a click on the selected line shows its record again, closed")
            << "row=1; Command1; Text1=N-9; tab=0; row=1" << before << none << numbers
            << "listing: B-200|Scope| Command2 Command3 Command13 Command14";
        QTest::newRow("edit or delete, nothing selected") << "Command13; Command3" << before
            << QStringList{nothing_selected.arg("edit"), nothing_selected.arg("Remove")} << numbers
            << closed.arg("listing", "|");
        QTest::newRow("delete answered No") << "row=1; No; Command3" << before << sure << numbers
            << closed.arg("listing", "B-200|Scope");
        // Two lines read "Multimeter": each stands for its own record, and only that one goes.
        QTest::newRow("delete by description: the second of two alike")
            << "Option6; row=2; Yes; Command3"
            << file_of({r[0], r[1], r[3], r[4], r[5]}) << sure
            << "gauge, Multimeter, Probe, Probe spare, Scope" << open;
        QTest::newRow("delete three selected, two with one number")
            << "row=1; ctrl-row=4; ctrl-row=5; Yes; Command3" << file_of({r[0], r[2], r[3]}) << sure
            << "A-100, C-300, D-400" << open;
        // Case does not count in the order, nor in the filter on availability.
        QTest::newRow("available, from another tab") << "tab=2; listava" << before << none
            << "B-200, C-300, K-1" << open;
        QTest::newRow("obsolete") << "listobsol" << before << none << "D-400, K-1" << open;
        QTest::newRow("a new order drops the filter") << "listobsol; Option6" << before << none
            << "gauge, Multimeter, Multimeter, Probe, Probe spare, Scope"
            << closed.arg("listing", "|");
        QTest::newRow("failed save keeps the file and the typing")
            << "block products2.dat; Command1; Text1=N-9; Text2=Typed; Command4" << before
            << QStringList{"Warning naming products2.dat"} << numbers << entering.arg("N-9|Typed");
        QTest::newRow("unreadable register: save refused, typing kept")
            << "Command1; Text1=N-9; unreadable products.dat; Command4" << before
            << QStringList{"Warning naming products.dat"} << numbers << entering.arg("N-9|");
        QTest::newRow("unreadable register: delete refused")
            << "row=1; unreadable products.dat; Yes; Command3" << before
            << QStringList{sure[0], "Warning naming products.dat", "Warning naming products.dat"}
            << "" << open;
        QTest::newRow("without the edit right: shown, nothing can be changed")
            << "no edit right; double-click=1" << before << none << numbers
            << "details: B-200|Scope|";
        // clang-format on
    }

    void scenario()
    {
        QFETCH(QString, steps);
        QFETCH(std::string, file);
        QFETCH(QStringList, messages);
        // Files trusted as soon as written, so that what a save keeps is what the list shows.
        set_settling_time(0);
        const auto settle_again = qScopeGuard([] { set_settling_time(std::nullopt); });
        WindowFixture fx(file_of(loaded));

        fx.run(steps);

        COMPARE_FILE(fx.products(), file);
        // Beyond naming the file, what a failed read or write says belongs to the file layer.
        const QRegularExpression failure("(?s)^Warning \"Durnmoor\": [^:]*(products2?\\.dat).*");
        QCOMPARE(shown_messages().replaceInStrings(failure, "Warning naming \\1"), messages);
        QTEST(fx.lines_of().join(", "), "listed");
        QTEST(fx.form({"Text1", "Command1", "Command2", "Command3", "Command4", "Command13",
                       "Command14", "Command9"}),
              "form");
        QCOMPARE(fx.env.exists("products2.dat"), steps.contains("block products2.dat"));
        QVERIFY(fx.window->windowTitle().startsWith("Durnmoor V1.0  "));
    }

    // Lines far beyond a text box's usual limit, left alone while another field changes.
    void long_fields_are_written_back_whole()
    {
        product_record big = make_record({std::string(1 << 17, 'N'), "Probe"});
        big[serial_no] = std::string(40000, 's');
        WindowFixture fx(file_of({big}));
        fx.run("row=0; Command13; Text2=Changed; Yes; Command4");
        QVERIFY(fx.products() == file_of({with(big, {{description, "Changed"}})}));
        QCOMPARE(Messages::shown().size(), std::size_t(1)); // the overwrite question
    }

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

    // The search box: the words of its text, and the instruments whose records hold them all.
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
        QTest::newRow("ASCII word, record beyond ASCII") << "ergang,5" << QStringList{"5"};
        QTest::newRow("not across a line end") << "dmmavailable" << QStringList{};
        QTest::newRow("empty word and a word") << "probe," << QStringList{"3", "4"};
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
        QTEST(found_by(data, text), "found");
    }

    // A register of 64: once a rare word leaves few records in the running, each of them is
    // searched alone, and that path finds what the walk over the whole file finds, to the
    // record's last line.
    void finds_words_in_a_larger_register_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        // clang-format off
        QTest::newRow("rare word, then a common one") << "zebra,meter" << QStringList{"R-07", "R-50"};
        QTest::newRow("common word, then a rare one") << "meter,zebra" << QStringList{"R-07", "R-50"};
        QTest::newRow("rare word, then one in the last line") << "zebra,tail-7" << QStringList{"R-07"};
        QTest::newRow("rare word, then one in another line") << "zebra,po-50" << QStringList{"R-50"};
        QTest::newRow("rare word, then one only other records hold") << "zebra,scope" << QStringList{};
        QTest::newRow("rare word, then one beyond ASCII") << "zebra,\u00fcber" << QStringList{"R-50"};
        QTest::newRow("three rare words") << "zebra,quagga,okapi" << QStringList{"R-50"};
        // clang-format on
    }
    void finds_words_in_a_larger_register()
    {
        QFETCH(QString, text);
        std::vector<product_record> records;
        for (int n = 1; n <= 64; ++n) {
            const std::string number = QString("R-%1").arg(n, 2, 10, QChar('0')).toStdString();
            product_record record = make_record({number, n % 2 ? "Bench meter" : "Scope"});
            record[purchase_order] = "PO-" + std::to_string(n);
            record[product_line_count] = "tail-" + std::to_string(n); // the record's last line
            records.push_back(record);
        }
        records[6][location] = "Zebra crossing";
        records[49] = with(records[49], {{manufacturer, "Zebra \xc3\x9c"
                                                        "ber, quagga"},
                                         {serial_no, "okapi"},
                                         {description, "Meter"}});
        const ProductsData data(file_of(records));
        QTEST(found_by(data, text), "found");
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

    // The untouched box searches for its own text as one word; blanks alone list everything,
    // and blanks around the words are dropped. The list comes to the front.
    void enter_in_the_search_box()
    {
        WindowFixture f(
            file_of({with(make_record({"1", "Type in search"}), {{location, "criteria here"}}),
                     with(make_record({"2"}), {{location, "type in search criteria here"}}),
                     make_record({"3"})}));
        const auto search = [&f](const QString &typed) {
            f.run(typed);
            QTest::keyClick(f.control<QLineEdit>("Text31"), Qt::Key_Return);
            return f.lines_of();
        };
        QCOMPARE(search("tab=2"), QStringList{"2"});
        QCOMPARE(f.control<QTabWidget>("SSTab1")->currentIndex(), 0);
        QCOMPARE(f.window->windowTitle(), f.window->caption());
        QCOMPARE(search("Text31=   "), (QStringList{"1", "2", "3"}));
        QCOMPARE(search("Text31= criteria here "), (QStringList{"1", "2"}));
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
