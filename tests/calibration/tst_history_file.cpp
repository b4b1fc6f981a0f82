#include "calibration/history_file.h"

#include "support/test_env.h"

#include <QDir>
#include <QTest>

#include <map>

using namespace durnmoor;
using namespace Qt::StringLiterals;

namespace {

// One record as the program writes it, dated 5 December 2026.
QByteArray record(const QByteArray &no, const QByteArray &cost, const QByteArrayList &result)
{
    QByteArray out = no + "\r\n05/12/2026\r\n" + cost + "\r\n#1RESULT\r\n";
    for (const QByteArray &line : result)
        out += line + "\r\n";
    return out + "#2RESULT\r\n";
}

HistoryData load(const QString &dir)
{
    DataFile file = DataFile::read(history_file(dir));
    return HistoryData(file.take_bytes());
}

// Records one calibration as "&Update Result" does: the whole file read and locked, the
// record added at its end, the file replaced through its twin.
WriteOutcome append_record(const QString &dir, std::string_view number, std::string_view cost,
                           const ResultLines &result)
{
    DataFile file = DataFile::read_for_rewrite(history_file(dir));
    const auto bytes = HistoryData(file.bytes()).with_appended(number, "05/12/2026", cost, result);
    return bytes ? file.replace(*bytes) : WriteOutcome{false};
}

// Rewrites the file with every record copied but those given new results.
WriteOutcome rewrite_all(const QString &dir, const std::map<std::size_t, QString> &results = {})
{
    DataFile file = DataFile::read_for_rewrite(history_file(dir));
    const HistoryData data(file.take_bytes());
    HistoryRewrite rewrite(data);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (const auto changed = results.find(i); changed != results.end())
            rewrite.replace_result(i, encode_result(changed->second).value());
        else
            rewrite.copy(i);
    }
    return file.replace(rewrite.bytes());
}

QByteArray history(const test::TestEnv &env)
{
    return QByteArray::fromStdString(env.read_file("history.dat"));
}

} // namespace

class TestHistoryFile : public QObject {
    Q_OBJECT

private slots:
    // Money as the history tab sums it: every record counts, costs that are not numbers or
    // would overflow the total add nothing, and the fifth decimal rounds half away from zero.
    void figures_data()
    {
        QTest::addColumn<QByteArrayList>("costs");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("average"); // empty: no average
        auto row = [](const char *name, QByteArrayList costs, const char *total, const char *avg) {
            QTest::newRow(name) << costs << QString(total) << QString(avg);
        };
        row("three costs", {"100", " 100 ", "50.00 GBP"}, "250.00", "83.3333");
        row("n/a counted, not summed", {"n/a", "12.5"}, "12.50", "6.25");
        row("no records", {}, "0.00", "");
        row("overflow adds nothing", {"922337203685000", "476", "922337203685000"},
            "922337203685476.00", "307445734561825.3333");
        row("negative", {"-3.25"}, "-3.25", "-3.25");
        row("cost rounds half up", {"0.00005"}, "0.0001", "0.0001");
        row("cost rounds half away below zero", {"-0.00005"}, "-0.0001", "-0.0001");
        row("cost under half rounds down", {"0.000049"}, "0.00", "0.00");
        row("average rounds half up", {"0.0001", "0"}, "0.0001", "0.0001");
        row("average rounds half away below zero", {"-0.0001", "0"}, "-0.0001", "-0.0001");
        row("average under half rounds down", {"0.0001", "0", "0"}, "0.0001", "0.00");
    }
    void figures()
    {
        QFETCH(QByteArrayList, costs);
        QFETCH(QString, total);
        QFETCH(QString, average);
        // Lines that only look like the end marker must not end another instrument's record.
        QByteArray bytes = record("a", "7", {}) + record("A ", "7", {}) +
                           record("B", "1", {"x#2RESULT", "#2RESULT ", "#2RESULTS"});
        for (const QByteArray &cost : costs)
            bytes += record("A", cost, {"ok"});
        const HistoryFigures figures = HistoryData(bytes.toStdString()).figures_of("A");
        QCOMPARE(figures.count, qint64(costs.size()));
        QCOMPARE(QString::fromStdString(figures.total.format()), total);
        QCOMPARE(figures.average ? QString::fromStdString(figures.average->format()) : "", average);
        // Reading one instrument's records only gives the same figures.
        const HistoryData only_a(bytes.toStdString(), std::string("A"));
        QCOMPARE(only_a.size(), std::size_t(costs.size()));
        QCOMPARE(only_a.figures_of("A").total, figures.total);
    }

    // What survives a rewrite that copies every record, and what an append keeps before
    // its new record: it leaves old bytes alone unless they would misalign the new one.
    void rewrite_and_append_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("rewritten");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray a = record("A\xE9", "n/a", {"ok", "", "#1RESULT"});
        const QByteArray bad = "X\r\nY\r\nZ\r\n#1RESULTS\r\n" + a + "1\r\n2\r\n3\r\n4\r\n";
        const QByteArray lf = "A\xE9\n05/12/2026\nn/a\n#1RESULT\nok\n\n#1RESULT\n#2RESULT\n";
        const QByteArray b = record("B", "1", {"half"}); // chopped: "...#1RESULT\r\nhalf"
        QTest::newRow("bare LF") << lf << a << lf;
        QTest::newRow("malformed groups") << bad << a << bad;
        QTest::newRow("unterminated last record") << a + b.chopped(12) << a + b << a + b;
        // Lines the reader cannot use stay in the file; empty lines complete their group.
        const QByteArray mac = "A\r05/12/2026\r1\r#1RESULT\rok\r#2RESULT\r";
        QTest::newRow("old Mac line ends") << mac << QByteArray() << mac + "\r\n\r\n\r\n\r\n";
        QTest::newRow("two lines left over") << a + "x\r\ny" << a << a + "x\r\ny\r\n\r\n\r\n";
    }
    void rewrite_and_append()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, rewritten);
        QFETCH(QByteArray, kept);
        test::TestEnv env;
        env.write_file("history.dat", before.toStdString());
        QVERIFY(append_record(env.dir(), "N", "10", encode_result(u"done"_s).value()).ok);
        QCOMPARE(history(env), kept + record("N", "10", {"done"}));
        // Read back, the new record is whole; a rewrite then writes what could be read.
        const HistoryData appended = load(env.dir());
        QCOMPARE(appended.records().back().result_lines, std::vector<std::string>{"done"});
        QCOMPARE(appended.history_of("N").size(), std::size_t(1));
        env.write_file("history.dat", before.toStdString());
        QVERIFY(rewrite_all(env.dir()).ok);
        QCOMPARE(history(env), rewritten);
    }

    void result_written_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written"); // empty: refused
        QTest::newRow("empty is one empty line") << " \r\n " << record("N", "1", {""});
        QTest::newRow("end marker with more kept")
            << "#2RESULT x" << record("N", "1", {"#2RESULT x"});
        QTest::newRow("end marker refused") << "ok\r\n#2RESULT\nmore" << QByteArray();
        QTest::newRow("only blanks trimmed")
            << "  \n\tfirst\t\n\nlast \n  " << record("N", "1", {"", "\tfirst\t", "", "last "});
    }
    void result_written()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const auto result = encode_result(text);
        test::TestEnv env;
        if (result)
            QVERIFY(append_record(env.dir(), "N", "1", *result).ok);
        QCOMPARE(history(env), written);
    }

    void edited_result_round_trips()
    {
        test::TestEnv env;
        const QByteArray others = record("A-1", "100", {"Caf\xE9 ok", "#1RESULT", ""});
        const QByteArray written = others + record("A", " 250 ", {"Calibrated", "Drift 0.1%"});
        env.write_file("history.dat", written.toStdString());
        const QString shown = result_text(load(env.dir()).record(1));
        QCOMPARE(shown, u"Calibrated\nDrift 0.1%\n"_s);
        auto store = [&](const QString &text) { return rewrite_all(env.dir(), {{1, text}}).ok; };
        QVERIFY(store(shown));
        QCOMPARE(history(env), written);
        QVERIFY(store(u"Adjusted\r\nDrift 0.2%"_s));
        QCOMPARE(history(env), others + record("A", " 250 ", {"Adjusted", "Drift 0.2%"}));
    }

    void failed_write_leaves_file_untouched()
    {
        test::TestEnv env;
        // Bare LF and a cut-off record: any rewrite would change these bytes.
        const QByteArray before = "A\n05/12/2026\n1\n#1RESULT\nok\n#2RESULT\nB\nd\nc\n#1RESULT\nr";
        env.write_file("history.dat", before.toStdString());
        QVERIFY(QDir(env.dir()).mkdir("history2.dat"));
        QVERIFY(!rewrite_all(env.dir()).ok);
        QCOMPARE(history(env), before);
        QVERIFY(!append_record(env.dir(), "C", "1", encode_result(u"x"_s).value()).ok);
        QCOMPARE(history(env), before);
    }
};

QTEST_GUILESS_MAIN(TestHistoryFile)
#include "tst_history_file.moc"
