// history.dat as read, summed, appended to and rewritten; the dates it and the details tab
// hold, and the due date they give.
#include "calibration/date_forms.h"
#include "calibration/due_date.h"
#include "calibration/history_file.h"
#include "support/test_env.h"

#include <QLocale>

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

// Records one calibration as "&Update Result" does: the whole file read and locked, the
// record added at its end, the file replaced through its twin.
bool append_record(const test::TestEnv &env, const ResultLines &result)
{
    DataFile file = DataFile::read_for_rewrite(history_file(env.dir()));
    const auto bytes = HistoryData(file.bytes()).with_appended("N", "05/12/2026", "10", result);
    return bytes && file.replace(*bytes).ok;
}

QByteArray history(const test::TestEnv &env)
{
    return QByteArray::fromStdString(env.read_file("history.dat"));
}

} // namespace

class TestHistoryFile : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

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
        // Lines that only look like the end marker must not end another instrument's record.
        QByteArray bytes = record("a", "7", {}) + record("A ", "7", {}) +
                           record("B", "1", {"x#2RESULT", "#2RESULT ", "#2RESULTS"});
        for (const QByteArray &cost : costs)
            bytes += record("A", cost, {"ok"});
        const HistoryFigures figures = HistoryData(bytes.toStdString()).figures_of("A");
        QCOMPARE(figures.count, qint64(costs.size()));
        QTEST(QString::fromStdString(figures.total.format()), "total");
        QTEST(figures.average ? QString::fromStdString(figures.average->format()) : "", "average");
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
        QFETCH(QByteArray, kept);
        test::TestEnv env;
        env.write_file("history.dat", before.toStdString());
        QVERIFY(append_record(env, encode_result(u"done"_s).value()));
        QCOMPARE(history(env), kept + record("N", "10", {"done"}));
        // Read back, the new record is whole and found.
        const HistoryData appended(env.read_file("history.dat"));
        QCOMPARE(appended.records().back().result_lines, std::vector<std::string>{"done"});
        QCOMPARE(appended.history_of("N").size(), std::size_t(1));
        const HistoryData data(before.toStdString());
        HistoryRewrite rewrite(data);
        for (std::size_t i = 0; i < data.size(); ++i)
            rewrite.copy(i);
        QTEST(QByteArray::fromStdString(rewrite.bytes()), "rewritten");
    }

    void result_written_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written"); // empty: refused
        QTest::newRow("empty is one empty line") << " \r\n " << record("N", "10", {""});
        QTest::newRow("last line end adds no line")
            << "Calibrated\nDrift 0.1%\n"
            << record("N", "10", {"Calibrated", "Drift 0.1%"});
        QTest::newRow("CR LF typed") << "ok\r\nDrift" << record("N", "10", {"ok", "Drift"});
        QTest::newRow("end marker with more kept")
            << "#2RESULT x" << record("N", "10", {"#2RESULT x"});
        QTest::newRow("end marker refused") << "ok\r\n#2RESULT\nmore" << QByteArray();
        QTest::newRow("only blanks trimmed")
            << "  \n\tfirst\t\n\nlast \n  " << record("N", "10", {"", "\tfirst\t", "", "last "});
    }
    void result_written()
    {
        QFETCH(QString, text);
        const auto result = encode_result(text);
        test::TestEnv env;
        if (result)
            QVERIFY(append_record(env, *result));
        QTEST(history(env), "written");
    }

    void due_date_data()
    {
        QTest::addColumn<QStringList>("last"); // day, month, year as the date lists hold them
        QTest::addColumn<QByteArray>("interval");
        QTest::addColumn<QString>("due"); // as shown; empty: no due date
        auto row = [](const char *name, QStringList last, const char *interval, const char *due) {
            QTest::newRow(name) << last << QByteArray(interval) << QString(due);
        };
        row("month end clamped", {"31", "January", "2027"}, " 1 ", "Sunday Feb 28 2027");
        row("leap day + 12", {"29", "February", "2028"}, " 12 ", "Wednesday Feb 28 2029");
        row("day 05, empty interval", {"05", "December", "2026"}, "", "Saturday Dec 5 2026");
        row("backwards", {"5", "December", "2026"}, "-6 ", "Friday Jun 5 2026");
        row("-1.5 cut to -1", {"5", "December", "2026"}, "-1.5 ", "Thursday Nov 5 2026");
        row("31 April", {"31", "April", "2026"}, " 12 ", "");
        row("empty day", {"", "April", "2026"}, " 12 ", "");
        row("unknown month", {"5", "Smarch", "2026"}, " 12 ", "");
        row("absurd interval", {"5", "April", "2026"}, "999999999", "");
    }
    void due_date()
    {
        QFETCH(QStringList, last);
        QFETCH(QByteArray, interval);
        const auto got = durnmoor::due_date(last[0], last[1], last[2], interval.toStdString());
        QTEST(got ? long_display(*got) : QString(), "due");
    }

    void date_forms()
    {
        const QDate dec5(2026, 12, 5);
        QCOMPARE(reminder_display(dec5), u"Saturday 05 December 2026"_s);
        QCOMPARE(report_display(dec5), u"Sat Dec 05 2026"_s);
        QCOMPARE(report_header(dec5), u"Sat December 05 2026"_s);
        QCOMPARE(file_date(dec5), u"05/12/2026"_s);
        QCOMPARE(parse_joined_date(u" 5  December 2026"_s).value_or(QDate()), dec5);
        QCOMPARE(parse_file_date("5/2/2026").value_or(QDate()), QDate(2026, 2, 5));
        QCOMPARE(parse_file_date("29/02/2028").value_or(QDate()), QDate(2028, 2, 29));
        QVERIFY(!parse_file_date("31/04/2026") && !parse_file_date("05-12-2026"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(reminder_display(dec5), u"Samstag 05 Dezember 2026"_s);
    }
};

QTEST_GUILESS_MAIN(TestHistoryFile)
#include "tst_history_file.moc"
