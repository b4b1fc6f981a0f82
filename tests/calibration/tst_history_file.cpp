#include "calibration/history_file.h"

#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

using namespace durnmoor;
using durnmoor::test::crlf_lines;
using durnmoor::test::TestEnv;

namespace {

// One well-formed record as the program writes it.
std::string record(const std::string &no, const std::string &date, const std::string &cost,
                   std::initializer_list<std::string> result)
{
    std::string out = crlf_lines({no, date, cost, "#1RESULT"});
    for (const std::string &line : result)
        out += line + "\r\n";
    return out + "#2RESULT\r\n";
}

std::string to_std(const QByteArray &bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray to_bytes(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// "no|date|cost|<line><line>|closed" per record, bytes as read.
QByteArrayList describe(const HistoryData &data)
{
    QByteArrayList out;
    for (const HistoryRecord &r : data.records()) {
        QByteArray text = to_bytes(r.instrument_no) + '|' + to_bytes(r.date) + '|' +
                          to_bytes(r.cost) + '|';
        for (const std::string &line : r.result_lines)
            text += '<' + to_bytes(line) + '>';
        text += r.terminated ? "|closed" : "|open";
        out << text;
    }
    return out;
}

ResultLines encoded(const QString &text)
{
    auto lines = encode_result(text);
    if (!lines)
        qFatal("result refused in a test that needs it");
    return *lines;
}

} // namespace

class TestHistoryFile : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void figures_data();
    void figures();
    void encode_result_lines_data();
    void encode_result_lines();
    void copy_all_rewrite_data();
    void copy_all_rewrite();
    void rewrite_changes_only_the_chosen_records();
    void two_line_result_round_trips();
    void empty_result_is_one_empty_line();
    void append_data();
    void append();
    void append_creates_missing_file();
    void append_refuses_line_break_in_field();
    void failed_write_leaves_file_untouched();
    void read_only_directory_leaves_file_untouched();
};

void TestHistoryFile::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArrayList>("expected");

    QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
    QTest::newRow("one record")
        << QByteArray("A\r\n05/12/2026\r\n100\r\n#1RESULT\r\nOK\r\n#2RESULT\r\n")
        << QByteArrayList{"A|05/12/2026|100|<OK>|closed"};
    QTest::newRow("bare LF")
        << QByteArray("A\n05/12/2026\n100\n#1RESULT\nOK\nDrift\n#2RESULT\nB\n1\n2\n#1RESULT\n"
                      "#2RESULT\n")
        << QByteArrayList{"A|05/12/2026|100|<OK><Drift>|closed", "B|1|2||closed"};
    QTest::newRow("mixed line ends")
        << QByteArray("A\r\nd\n100\r\n#1RESULT\nOK\r\n#2RESULT\n")
        << QByteArrayList{"A|d|100|<OK>|closed"};
    QTest::newRow("malformed group passed over")
        << QByteArray("X\r\nY\r\nZ\r\nnot a marker\r\nA\r\nd\r\nc\r\n#1RESULT\r\nr\r\n#2RESULT\r\n")
        << QByteArrayList{"A|d|c|<r>|closed"};
    QTest::newRow("markers inside a malformed group do not count")
        << QByteArray("X\r\n#1RESULT\r\n#2RESULT\r\n#1RESULTX\r\nA\r\nd\r\nc\r\n#1RESULT\r\n"
                      "#2RESULT\r\n")
        << QByteArrayList{"A|d|c||closed"};
    QTest::newRow("start marker inside a result")
        << QByteArray(record("A", "d", "c", {"x", "#1RESULT", "y"}).c_str())
        << QByteArrayList{"A|d|c|<x><#1RESULT><y>|closed"};
    QTest::newRow("markers compared exactly")
        << QByteArray("A\r\nd\r\nc\r\n#1RESULT \r\nB\r\nd\r\nc\r\n#1RESULT\r\n#2result\r\n"
                      " #2RESULT\r\n#2RESULT\r\n")
        << QByteArrayList{"B|d|c|<#2result>< #2RESULT>|closed"};
    QTest::newRow("empty result line")
        << QByteArray(record("A", "d", "c", {""}).c_str()) << QByteArrayList{"A|d|c|<>|closed"};
    QTest::newRow("blanks and other bytes kept")
        << QByteArray(record(" A ", "d", "\xA3 12", {"  Caf\xE9\r ok  "}).c_str())
        << QByteArrayList{" A |d|\xA3 12|<  Caf\xE9\r ok  >|closed"};
    QTest::newRow("cut off inside the result")
        << QByteArray("A\r\nd\r\nc\r\n#1RESULT\r\nB\r\nd\r\nc\r\n#1RESULT\r\nfirst\r\nsecond\r\n")
        << QByteArrayList{"A|d|c|<B><d><c><#1RESULT><first><second>|open"};
    QTest::newRow("cut off right after the start marker")
        << to_bytes(record("A", "d", "c", {"r"}) + "B\r\nd\r\nc\r\n#1RESULT")
        << QByteArrayList{"A|d|c|<r>|closed", "B|d|c||open"};
    QTest::newRow("lines too few for a group")
        << to_bytes(record("A", "d", "c", {"r"}) + "B\r\nd\r\n")
        << QByteArrayList{"A|d|c|<r>|closed"};
    QTest::newRow("last line without line end")
        << QByteArray("A\r\nd\r\nc\r\n#1RESULT\r\nr\r\n#2RESULT")
        << QByteArrayList{"A|d|c|<r>|closed"};
}

void TestHistoryFile::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArrayList, expected);
    QCOMPARE(describe(HistoryData(to_std(bytes))), expected);
}

void TestHistoryFile::figures_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("average"); // empty: no average

    QTest::newRow("three costs") << "A" << QList<int>{0, 2, 4} << qint64(3) << "250.00"
                                 << "83.3333";
    QTest::newRow("cost not a number counts but adds nothing")
        << "C" << QList<int>{3, 5} << qint64(2) << "12.50" << "6.25";
    QTest::newRow("one record") << "B" << QList<int>{1} << qint64(1) << "70.125" << "70.125";
    QTest::newRow("no records") << "Z" << QList<int>{} << qint64(0) << "0.00" << "";
    QTest::newRow("case matters") << "a" << QList<int>{} << qint64(0) << "0.00" << "";
    QTest::newRow("blanks matter") << "A " << QList<int>{} << qint64(0) << "0.00" << "";
    QTest::newRow("a cost past the range adds nothing")
        << "D" << QList<int>{6, 7, 8} << qint64(3) << "922337203685476.00" << "307445734561825.3333";
}

void TestHistoryFile::figures()
{
    QFETCH(QString, instrument);
    QFETCH(QList<int>, indices);
    QFETCH(qint64, count);
    QFETCH(QString, total);
    QFETCH(QString, average);

    const HistoryData data(record("A", "01/01/2026", "100", {"ok"}) +
                           record("B", "02/01/2026", "70.125", {}) +
                           record("A", "03/01/2026", " 100 ", {}) +
                           record("C", "04/01/2026", "n/a", {}) +
                           record("A", "05/01/2026", "50.00 GBP", {}) +
                           record("C", "06/01/2026", "12.5", {}) +
                           record("D", "07/01/2026", "922337203685000", {}) +
                           record("D", "08/01/2026", "476", {}) +
                           record("D", "09/01/2026", "922337203685000", {}));
    const std::string key = instrument.toStdString();

    std::vector<std::size_t> wanted(indices.begin(), indices.end());
    QCOMPARE(data.history_of(key), wanted);
    const HistoryFigures figures = data.figures_of(key);
    QCOMPARE(qint64(figures.count), count);
    QCOMPARE(QString::fromStdString(figures.total.format()), total);
    QCOMPARE(figures.average.has_value(), !average.isEmpty());
    if (figures.average)
        QCOMPARE(QString::fromStdString(figures.average->format()), average);
}

void TestHistoryFile::encode_result_lines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArrayList>("lines");

    QTest::newRow("two lines, text box breaks")
        << "Calibrated OK\nDrift 0.1%" << true << QByteArrayList{"Calibrated OK", "Drift 0.1%"};
    QTest::newRow("two lines, CR LF breaks")
        << "Calibrated OK\r\nDrift 0.1%" << true << QByteArrayList{"Calibrated OK", "Drift 0.1%"};
    QTest::newRow("break at the end adds no line")
        << "Calibrated OK\r\nDrift 0.1%\r\n" << true
        << QByteArrayList{"Calibrated OK", "Drift 0.1%"};
    QTest::newRow("blanks around the whole text go")
        << " \t\n  Calibrated OK\nDrift  \n\n " << true
        << QByteArrayList{"Calibrated OK", "Drift"};
    QTest::newRow("blanks inside stay") << "a\n  b  \n\nc" << true
                                        << QByteArrayList{"a", "  b  ", "", "c"};
    QTest::newRow("empty") << "" << true << QByteArrayList{""};
    QTest::newRow("blanks only") << " \r\n\t " << true << QByteArrayList{""};
    QTest::newRow("start marker is harmless") << "#1RESULT\nok" << true
                                              << QByteArrayList{"#1RESULT", "ok"};
    QTest::newRow("end marker with more on the line is harmless")
        << "a\n#2RESULT \nb" << true << QByteArrayList{"a", "#2RESULT ", "b"};
    QTest::newRow("non-ASCII") << QString::fromUtf8("Kalibriert \u00e9") << true
                               << QByteArrayList{QString::fromUtf8("Kalibriert \u00e9").toLocal8Bit()};
    QTest::newRow("end marker line") << "ok\n#2RESULT\nmore" << false << QByteArrayList{};
    QTest::newRow("end marker alone") << "#2RESULT" << false << QByteArrayList{};
    QTest::newRow("end marker after trimming") << "  #2RESULT\r\n" << false << QByteArrayList{};
    QTest::newRow("end marker before CR LF") << "a\r\n#2RESULT\r\nb" << false << QByteArrayList{};
}

void TestHistoryFile::encode_result_lines()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QByteArrayList, lines);

    const auto result = encode_result(text);
    QCOMPARE(result.has_value(), accepted);
    if (!result)
        return;
    QByteArrayList got;
    for (const std::string &line : result->lines())
        got << to_bytes(line);
    QCOMPARE(got, lines);
}

void TestHistoryFile::copy_all_rewrite_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    const std::string a = record("A", "01/01/2026", "100", {"ok", "", "#1RESULT"});
    const std::string b = record("B\xE9", "02/01/2026", "n/a", {""});
    QTest::newRow("CR LF file unchanged") << QByteArray((a + b).c_str())
                                          << QByteArray((a + b).c_str());
    QTest::newRow("empty file") << QByteArray() << QByteArray();
    QTest::newRow("bare LF gets CR LF")
        << QByteArray("A\n01/01/2026\n100\n#1RESULT\nok\n\n#1RESULT\n#2RESULT\n")
        << QByteArray(a.c_str());
    QTest::newRow("malformed group dropped")
        << QByteArray(("X\r\nY\r\nZ\r\nW\r\n" + a + "1\r\n2\r\n3\r\n4\r\n" + b).c_str())
        << QByteArray((a + b).c_str());
    QTest::newRow("cut-off last record closed")
        << QByteArray((a + "B\xE9\r\n02/01/2026\r\nn/a\r\n#1RESULT\r\n\r\n").c_str())
        << QByteArray((a + b).c_str());
    QTest::newRow("cut-off last record without line end closed")
        << QByteArray((a + "C\r\nd\r\nc\r\n#1RESULT\r\nhalf").c_str())
        << QByteArray((a + record("C", "d", "c", {"half"})).c_str());
    QTest::newRow("lines too few for a group dropped")
        << QByteArray((a + "C\r\nd\r\n").c_str()) << QByteArray(a.c_str());
    QTest::newRow("last line end added")
        << QByteArray((a + b.substr(0, b.size() - 2)).c_str()) << QByteArray((a + b).c_str());
}

void TestHistoryFile::copy_all_rewrite()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    TestEnv env;
    env.write_file("history.dat", to_std(before));
    const HistoryData data = HistoryData::load(env.dir());
    HistoryRewrite rewrite(data);
    for (std::size_t i = 0; i < data.size(); ++i)
        rewrite.copy(i);
    QVERIFY(rewrite.commit(env.dir()).ok);
    QCOMPARE(to_bytes(env.read_file("history.dat")), after);
    QVERIFY(!env.exists("history2.dat"));
    // What was written reads back as the same records, now all closed.
    QCOMPARE(describe(HistoryData::load(env.dir())).join('\n'),
             describe(data).join('\n').replace("|open", "|closed"));
}

void TestHistoryFile::rewrite_changes_only_the_chosen_records()
{
    TestEnv env;
    const std::string other_1 = record("A-1", "01/01/2026", "100", {"Caf\xE9 ok", "#1RESULT"});
    const std::string other_2 = record("A 2", "05/12/2026", "", {""});
    const std::string removed = record("A2", "05/12/2026", "70", {"old"});
    const std::string corrected = record("A2", "06/12/2026", "80 GBP", {"first", "second"});
    const std::string malformed = "A2\r\n05/12/2026\r\n70\r\n#1RESULTS\r\n";
    env.write_file("history.dat", other_1 + removed + malformed + other_2 + corrected);

    const HistoryData data = HistoryData::load(env.dir());
    QCOMPARE(data.size(), std::size_t{4});
    HistoryRewrite rewrite(data);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const HistoryRecord &r = data.record(i);
        if (r.instrument_no != "A2")
            rewrite.copy(i);
        else if (r.date == "06/12/2026")
            rewrite.replace_result(i, encoded("Adjusted\nDrift 0.1%\n"));
        // the record of 05/12/2026 is dropped
    }
    QVERIFY(rewrite.commit(env.dir()).ok);
    QCOMPARE(env.read_file("history.dat"),
             other_1 + other_2 + record("A2", "06/12/2026", "80 GBP", {"Adjusted", "Drift 0.1%"}));
}

void TestHistoryFile::two_line_result_round_trips()
{
    TestEnv env;
    const std::string before = record("B", "01/01/2026", "12", {"kept"});
    env.write_file("history.dat", before);

    QVERIFY(append_record(env.dir(), "A", QDate(2026, 12, 5), " 250 ",
                          encoded("Calibrated OK\nDrift 0.1%"))
                .ok);
    const std::string written =
        before + record("A", "05/12/2026", " 250 ", {"Calibrated OK", "Drift 0.1%"});
    QCOMPARE(env.read_file("history.dat"), written);

    const HistoryData data = HistoryData::load(env.dir());
    const auto found = data.history_of("A");
    QCOMPARE(found.size(), std::size_t{1});
    const QString shown = result_text(data.record(found[0]));
    QCOMPARE(shown, QStringLiteral("Calibrated OK\nDrift 0.1%\n"));

    // Storing the shown text again, unchanged, leaves the file as it was.
    HistoryRewrite rewrite(data);
    rewrite.copy(0);
    rewrite.replace_result(found[0], encoded(shown));
    QVERIFY(rewrite.commit(env.dir()).ok);
    QCOMPARE(env.read_file("history.dat"), written);
}

void TestHistoryFile::empty_result_is_one_empty_line()
{
    TestEnv env;
    QVERIFY(append_record(env.dir(), "A", QDate(2026, 12, 5), "10", encoded("  \n ")).ok);
    QCOMPARE(env.read_file("history.dat"), crlf_lines({"A", "05/12/2026", "10", "#1RESULT", "",
                                                       "#2RESULT"}));
    const HistoryData data = HistoryData::load(env.dir());
    QCOMPARE(data.size(), std::size_t{1});
    QCOMPARE(result_text(data.record(0)), QStringLiteral("\n"));
    QCOMPARE(encoded(result_text(data.record(0))).lines(), std::vector<std::string>{""});
}

void TestHistoryFile::append_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("kept"); // what stays of the old bytes before the new record

    const std::string a = record("A", "01/01/2026", "100", {"ok"});
    QTest::newRow("empty file") << QByteArray() << QByteArray();
    QTest::newRow("records") << QByteArray(a.c_str()) << QByteArray(a.c_str());
    QTest::newRow("bare LF kept as it is")
        << QByteArray("A\n1\n2\n#1RESULT\nr\n#2RESULT\n")
        << QByteArray("A\n1\n2\n#1RESULT\nr\n#2RESULT\n");
    QTest::newRow("malformed group kept as it is")
        << QByteArray((a + "1\r\n2\r\n3\r\n4\r\n").c_str())
        << QByteArray((a + "1\r\n2\r\n3\r\n4\r\n").c_str());
    QTest::newRow("last line end added")
        << QByteArray((a + "B\r\nd\r\nc\r\n#1RESULT\r\n#2RESULT").c_str())
        << QByteArray((a + "B\r\nd\r\nc\r\n#1RESULT\r\n#2RESULT\r\n").c_str());
    QTest::newRow("cut-off record closed first")
        << QByteArray((a + "B\r\nd\r\nc\r\n#1RESULT\r\nhalf\r\n").c_str())
        << QByteArray((a + "B\r\nd\r\nc\r\n#1RESULT\r\nhalf\r\n#2RESULT\r\n").c_str());
    QTest::newRow("cut-off record without line end closed first")
        << QByteArray((a + "B\r\nd\r\nc\r\n#1RESULT").c_str())
        << QByteArray((a + "B\r\nd\r\nc\r\n#1RESULT\r\n#2RESULT\r\n").c_str());
    QTest::newRow("lines too few for a group left out")
        << QByteArray((a + "B\r\nd\r\nc\r\n").c_str()) << QByteArray(a.c_str());
}

void TestHistoryFile::append()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, kept);

    TestEnv env;
    env.write_file("history.dat", to_std(before));
    const std::size_t records_before = HistoryData::load(env.dir()).size();

    QVERIFY(append_record(env.dir(), "N", QDate(2026, 2, 28), "10", encoded("done")).ok);
    const std::string added = record("N", "28/02/2026", "10", {"done"});
    QCOMPARE(env.read_file("history.dat"), to_std(kept) + added);
    QVERIFY(!env.exists("history2.dat"));

    const HistoryData after = HistoryData::load(env.dir());
    QCOMPARE(after.size(), records_before + 1);
    const HistoryRecord &last = after.record(after.size() - 1);
    QCOMPARE(last.instrument_no, std::string("N"));
    QCOMPARE(last.result_lines, std::vector<std::string>{"done"});
    QVERIFY(last.terminated);
    for (std::size_t i = 0; i + 1 < after.size(); ++i)
        QVERIFY(after.record(i).terminated);
}

void TestHistoryFile::append_creates_missing_file()
{
    TestEnv env;
    QVERIFY(!env.exists("history.dat"));
    QVERIFY(append_record(env.dir(), "N", QDate(2026, 12, 5), "", encoded("x")).ok);
    QCOMPARE(env.read_file("history.dat"), record("N", "05/12/2026", "", {"x"}));
}

void TestHistoryFile::append_refuses_line_break_in_field()
{
    TestEnv env;
    const std::string before = record("A", "01/01/2026", "100", {"ok"});
    env.write_file("history.dat", before);
    QVERIFY(!append_record(env.dir(), "A", QDate(2026, 12, 5), "10\n#1RESULT", encoded("x")).ok);
    QVERIFY(!append_record(env.dir(), "A\r\nB", QDate(2026, 12, 5), "10", encoded("x")).ok);
    QCOMPARE(env.read_file("history.dat"), before);
}

void TestHistoryFile::failed_write_leaves_file_untouched()
{
    TestEnv env;
    // Bare LF and a cut-off record: any rewrite would change these bytes.
    const std::string before = "A\n01/01/2026\n100\n#1RESULT\nok\n#2RESULT\nB\nd\nc\n#1RESULT\nr";
    env.write_file("history.dat", before);
    QVERIFY(QDir(env.dir()).mkdir("history2.dat")); // the twin cannot be created as a file

    const HistoryData data = HistoryData::load(env.dir());
    HistoryRewrite rewrite(data);
    rewrite.copy(0);
    const WriteOutcome rewritten = rewrite.commit(env.dir());
    QVERIFY(!rewritten.ok);
    QVERIFY(!rewritten.reason.isEmpty());
    QCOMPARE(env.read_file("history.dat"), before);

    QVERIFY(!append_record(env.dir(), "C", QDate(2026, 12, 5), "1", encoded("x")).ok);
    QCOMPARE(env.read_file("history.dat"), before);
}

void TestHistoryFile::read_only_directory_leaves_file_untouched()
{
    TestEnv env;
    const std::string before = "A\n01/01/2026\n100\n#1RESULT\nok\n#2RESULT\n";
    env.write_file("history.dat", before);
    QFile dir_entry(env.dir());
    const auto permissions = dir_entry.permissions();
    QVERIFY(dir_entry.setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                     QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    const auto restore = qScopeGuard([&] { dir_entry.setPermissions(permissions); });

    QFile probe(env.path("probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        QSKIP("This user may write into a read-only directory (root); the directory-as-twin "
              "case covers the failure path.");
    }

    const HistoryData data = HistoryData::load(env.dir());
    HistoryRewrite rewrite(data);
    rewrite.copy(0);
    QVERIFY(!rewrite.commit(env.dir()).ok);
    QVERIFY(!append_record(env.dir(), "C", QDate(2026, 12, 5), "1", encoded("x")).ok);
    QCOMPARE(env.read_file("history.dat"), before);
    QVERIFY(!env.exists("history2.dat"));
}

QTEST_GUILESS_MAIN(TestHistoryFile)
#include "tst_history_file.moc"
