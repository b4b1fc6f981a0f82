// Instruments read from a CSV file: the reader, the columns matched to fields, the rows that
// cannot be stored, the register rewritten, and the round trip from an export.
#include "audit/audit_entry.h"
#include "sheets/csv_reader.h"
#include "sheets/export_sheets.h"
#include "sheets/import_plan.h"
#include "sheets/sheet_files.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

Q_DECLARE_METATYPE(durnmoor::CsvEncoding)
Q_DECLARE_METATYPE(durnmoor::product_record)

namespace {

// Each row at a glance: its number, then its fields between brackets.
QStringList rows_of(const CsvTable &table)
{
    QStringList rows;
    QStringList header;
    for (const std::string &field : table.header)
        header << "[" + QString::fromStdString(field) + "]";
    rows << "1:" + header.join("");
    for (const CsvRow &row : table.rows) {
        QString text = QString::number(row.number) + ":";
        for (const std::string &field : row.fields)
            text += "[" + QString::fromLocal8Bit(field) + "]";
        rows << text;
    }
    return rows;
}

// A register that uses every field: blanks at the ends, commas, quotes, semicolons, text
// beyond ASCII, a long text, and lines kept for other tools.
product_record full_record(const std::string &number)
{
    product_record record = make_record({.number = number,
                                         .description = "  Caliper, \"digital\"; 150 mm  ",
                                         .interval = " 12 ",
                                         .cost = "1,250.50"});
    record[location] = "Lab Zürich – Bench 3";
    record[cal_company] = "Mätt & Co; \"QA\"";
    record[serial_no] = std::string(3000, 'x') + "\"end\"";
    record[manufacturer] = " Ångström ";
    record[asset_value] = "€ 99";
    record[purchased_from] = ",leading comma";
    record[purchase_order] = "\t tab first";
    record[30] = "kept for another tool";
    return record;
}

struct Imported {
    CsvTable table;
    ColumnMap columns;
    ImportPlan plan;
};

Imported read_import(const std::string &csv, const ProductsData &existing)
{
    Imported out{read_csv(csv), {}, {}};
    out.columns = match_columns(out.table.header);
    out.plan = plan_import(out.table, out.columns, existing);
    return out;
}

// The instruments sheet of a register, every record listed by number in file order.
std::string exported_csv(const ProductsData &data)
{
    std::vector<ListEntry> entries;
    for (std::size_t i = 0; i < data.size(); ++i)
        entries.push_back({{}, std::string(data.line(i, instrument_no)), i});
    const HistoryData none;
    return sheet_csv(
        listed_sheets(data, entries, instrument_no, none, QDate(2026, 12, 5)).instruments);
}

QStringList refusals(const ImportPlan &plan)
{
    QStringList out;
    for (const RefusedRow &row : plan.refused)
        out << QString::number(row.row) + ": " + row.reason;
    return out;
}

const std::string header = "Instrument No,Instrument Description,Calibration is required every,"
                           "Date Last Calibrated: day,Date Last Calibrated: month,"
                           "Date Last Calibrated: year\r\n";

} // namespace

class ImportTest : public QObject {
    Q_OBJECT

private slots:
    void the_reader_takes_what_spreadsheets_write_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<CsvEncoding>("encoding");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("mark, CR LF")
            << std::string("\xEF\xBB\xBFNo,Desc\r\nA1,Zoë\r\n") << CsvEncoding::utf8_with_mark
            << QStringList{"1:[No][Desc]", "2:[A1][Zoë]"};
        QTest::newRow("semicolons, LF, no end")
            << std::string("No;Desc;Note,x\nA1;x,y;\nA2;\"q;\"\"\"") << CsvEncoding::utf8
            << QStringList{"1:[No][Desc][Note,x]", "2:[A1][x,y][]", "3:[A2][q;\"]"};
        QTest::newRow("quoted line breaks, blanks kept")
            << std::string("No,Desc\r\n\" A1 \", two \r\n\"a\r\nb\",\"\"\r\n") << CsvEncoding::utf8
            << QStringList{"1:[No][Desc]", "2:[ A1 ][ two ]", "3:[a\r\nb][]"};
        QTest::newRow("empty lines are no rows")
            << std::string("No\r\n\r\n\nA1\r\n\r\nA2\r\n") << CsvEncoding::utf8
            << QStringList{"1:[No]", "2:[A1]", "3:[A2]"};
        QTest::newRow("one column, commas after")
            << std::string("No\r\nA1,x;y\r\n") << CsvEncoding::utf8
            << QStringList{"1:[No]", "2:[A1][x;y]"};
        QTest::newRow("quote inside an unquoted field")
            << std::string("No,Desc\r\nA1,5\" probe\r\n") << CsvEncoding::utf8
            << QStringList{"1:[No][Desc]", "2:[A1][5\" probe]"};
        QTest::newRow("quote never closed takes the rest")
            << std::string("No,Desc\r\nA1,\"open\r\nA2,x\r\n") << CsvEncoding::utf8
            << QStringList{"1:[No][Desc]", "2:[A1][open\r\nA2,x\r\n]"};
        // Not UTF-8: the system's encoding, whose bytes are stored as they are.
        QTest::newRow("system encoding") << std::string("No\r\nCaf\xE9\r\n") << CsvEncoding::system
                                         << QStringList{"1:[No]", "2:[Caf\uFFFD]"};
        QTest::newRow("nothing") << std::string() << CsvEncoding::utf8 << QStringList{"1:"};
    }
    void the_reader_takes_what_spreadsheets_write()
    {
        QFETCH(std::string, bytes);
        QFETCH(CsvEncoding, encoding);
        QFETCH(QStringList, rows);
        const CsvTable table = read_csv(bytes);
        QCOMPARE(table.encoding, encoding);
        QCOMPARE(rows_of(table), rows);
    }

    void columns_are_matched_by_name()
    {
        const ColumnMap columns =
            match_columns({"  instrument   NO", "Overdue", "INSTRUMENT DESCRIPTION",
                           "Instrument No", "datepurchased:year", ""});
        QCOMPARE(columns, (ColumnMap{instrument_no, 0, description, 0, purchase_year, 0}));
    }

    void rows_that_cannot_be_stored_are_told_data()
    {
        QTest::addColumn<std::string>("row");
        QTest::addColumn<QString>("reason");
        const QString fine;
        QTest::newRow("fine") << std::string("A1,Probe,12,5,December,2026") << fine;
        QTest::newRow("no date at all") << std::string("A1,Probe,0,,,") << fine;
        QTest::newRow("most months") << std::string("A1,Probe, 999 ,1,February,2024") << fine;
        QTest::newRow("blank number")
            << std::string("  ,Probe,12,,,") << "It has no instrument number.";
        QTest::newRow("short row") << std::string(",") << "It has no instrument number.";
        QTest::newRow("leap day") << std::string("A1,Probe,12,29,February,2025")
                                  << "Date Last Calibrated is not a date.";
        QTest::newRow("half a date")
            << std::string("A1,Probe,12,5,,2026") << "Date Last Calibrated is not a date.";
        QTest::newRow("interval 1000")
            << std::string("A1,Probe,1000,,,") << "The interval is not 0 to 999 months.";
        QTest::newRow("interval negative")
            << std::string("A1,Probe,-1,,,") << "The interval is not 0 to 999 months.";
        QTest::newRow("interval text")
            << std::string("A1,Probe,12 months,,,") << "The interval is not 0 to 999 months.";
        QTest::newRow("line break") << std::string("A1,\"Pro\nbe\",12,,,")
                                    << "\"Instrument Description\" holds a line break.";
        QTest::newRow("CR in the number")
            << std::string("\"A\r1\",Probe,12,,,") << "\"Instrument No\" holds a line break.";
    }
    void rows_that_cannot_be_stored_are_told()
    {
        QFETCH(std::string, row);
        QFETCH(QString, reason);
        const Imported got = read_import(header + "B0\r\n" + row + "\r\n", ProductsData());
        const QStringList expected = reason.isEmpty() ? QStringList() : QStringList{"3: " + reason};
        QCOMPARE(refusals(got.plan).join(";"), expected.join(";"));
        QCOMPARE(got.plan.rows.size(), reason.isEmpty() ? 2u : 1u);
    }

    // Numbers already there are replaced in their place, each record with that number, their
    // unmapped fields and reserved lines kept; new ones are appended in row order, a number
    // given twice as its last row gives it. Each record added or replaced gets an audit note.
    void an_import_replaces_and_adds()
    {
        const product_record kept = make_record({.number = "K", .description = "Kept"});
        const product_record old =
            with(make_record({.number = "A1", .description = "Old", .cost = "5"}), {{25, "r"}});
        const ProductsData existing(file_of({old, kept, old}));
        const Imported got = read_import("Instrument No;Instrument Description\r\n"
                                         "N2;First\r\nA1;New\r\nN2;Second\r\nN3;Third\r\n",
                                         existing);
        QCOMPARE(got.plan.added, 2u);
        QCOMPARE(got.plan.replaced, 2u);
        const ImportRewrite written = import_rewrite(existing, got.plan, got.columns);
        const product_record replaced = with(old, {{description, "New"}});
        QCOMPARE(
            written.rewrite.bytes(),
            file_of({replaced, kept, replaced,
                     with(product_record{}, {{instrument_no, "N2"}, {description, "Second"}}),
                     with(product_record{}, {{instrument_no, "N3"}, {description, "Third"}})}));
        QStringList notes;
        for (const AuditNote &note : written.notes) {
            QStringList changes;
            for (const FieldChange &change : note.changes)
                changes << QString::fromStdString(change.field + ":" +
                                                  change.old_value.value_or("-") + ">" +
                                                  change.new_value.value_or("-"));
            notes << QString::fromStdString(note.action + " " + note.key.front() + " ") +
                         changes.join(' ');
        }
        QCOMPARE(notes, (QStringList{"instrument.change A1 description:Old>New",
                                     "instrument.change A1 description:Old>New",
                                     "instrument.add N2 instrument_no:->N2 description:->Second",
                                     "instrument.add N3 instrument_no:->N3 description:->Third"}));
    }

    // Exported and imported again, every field of every record comes back byte for byte: as
    // new records into an empty register, and as the same file when they replace themselves.
    void the_round_trip_keeps_every_byte_data()
    {
        QTest::addColumn<product_record>("record");
        QTest::newRow("every field") << full_record("N-1");
        QTest::newRow("blank ends") << with(full_record(" N 2 "), {{description, " "}});
        QTest::newRow("quotes only") << with(full_record("\"\""), {{location, "\"\"\""}});
        QTest::newRow("dates and months") << with(full_record("N-3"), {{purchase_day, "29"},
                                                                       {purchase_month, "February"},
                                                                       {purchase_year, "2024"},
                                                                       {interval_months, "999"}});
        QTest::newRow("empty fields") << make_record({.number = "N-4"});
    }
    void the_round_trip_keeps_every_byte()
    {
        QFETCH(product_record, record);
        const std::vector<product_record> records{record, full_record("other")};
        const ProductsData before(file_of(records));
        const std::string csv = exported_csv(before);

        Imported got = read_import(csv, ProductsData());
        QCOMPARE(refusals(got.plan), QStringList());
        const ProductsData fresh(
            import_rewrite(ProductsData(), got.plan, got.columns).rewrite.bytes());
        QCOMPARE(fresh.size(), records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            for (int line = instrument_no; line < first_reserved_line; ++line)
                QCOMPARE(std::string(fresh.line(i, line)), records[i][line]);

        got = read_import(csv, before);
        QCOMPARE(got.plan.replaced, records.size());
        QCOMPARE(import_rewrite(before, got.plan, got.columns).rewrite.bytes(), before.bytes());
    }

    // A byte the system's encoding cannot decode is exported as the window shows it, the
    // replacement character, and comes back as that character's bytes.
    void a_byte_not_in_the_encoding_comes_back_as_shown()
    {
        const ProductsData before(file_of({make_record({.number = "N\xE9", .description = "x"})}));
        const Imported got = read_import(exported_csv(before), ProductsData());
        QCOMPARE(got.plan.rows.at(0).fields[0], "N\xEF\xBF\xBD");
    }
};

QTEST_MAIN(ImportTest)
#include "tst_import.moc"
