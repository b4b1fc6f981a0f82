// File › Import Instruments…: the preview of a CSV file, the columns chosen by hand, the
// question before replacing, and the one rewrite of the register with its backup set and
// audit entries.
#include "audit/audit_entry.h"
#include "common/open_file_chooser.h"
#include "sheets/import_window.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const product_record old_a1 =
    with(make_record({.number = "A1", .description = "Old", .cost = "5"}), {{25, "reserved"}});

// Row 2 replaces A1, row 3 adds N2, row 4 has no number, row 5 an interval too long once
// the third column fills the interval.
const std::string import_csv = "Instrument No;Description;Every\r\n"
                               "A1;New;12\r\n"
                               "N2;Second;\r\n"
                               ";nothing;\r\n"
                               "N3;Third;1000\r\n";

QStringList items_of(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

QStringList actions_in_trail(const TestEnv &env)
{
    QStringList actions;
    for (const AuditEntry &entry : audit_entries(env))
        actions << QString::fromStdString(entry.action + " " +
                                          (entry.key.empty() ? "" : entry.key.front()));
    return actions;
}

struct Opened {
    WindowFixture f;
    QString chosen;
    Opened(const std::string &csv) : f({.products = file_of({old_a1})})
    {
        f.env.write_file("in.csv", csv);
        chosen = f.env.path("in.csv");
        set_open_file_chooser(
            [this](QWidget *, const OpenFileRequest &) { return QStringList{chosen}; });
        Messages::clear();
        f.run("importinstruments");
    }
    QComboBox *field(int column) const
    {
        return f.control<QComboBox>(qPrintable(QString("field%1").arg(column)));
    }
    QString summary() const { return f.control<QLabel>("summaryLabel")->text(); }
    QStringList refused() const { return items_of(f.control<QListWidget>("refusedList")); }
};

} // namespace

class ImportWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_open_file_chooser({}); }

    void the_preview_then_one_rewrite()
    {
        Opened o(import_csv);
        QCOMPARE(open_windows("ImportInstruments").size(), 1);
        // Only the number's column bears a field's name.
        QCOMPARE(o.field(1)->currentText(), "Instrument No");
        QCOMPARE(o.field(2)->currentText(), "(not imported)");
        QCOMPARE(o.summary(), "2 instruments will be added and 1 existing ones replaced; 1 rows "
                              "cannot be stored.");
        QCOMPARE(o.refused(), QStringList{"Row 4: It has no instrument number."});

        o.field(2)->setCurrentIndex(description);
        o.field(3)->setCurrentIndex(interval_months);
        QCOMPARE(o.summary(), "1 instruments will be added and 1 existing ones replaced; 2 rows "
                              "cannot be stored.");
        QCOMPARE(o.refused(), (QStringList{"Row 4: It has no instrument number.",
                                           "Row 5: The interval is not 0 to 999 months."}));
        auto *preview = o.f.control<QTableWidget>("previewTable");
        QCOMPARE(preview->rowCount(), 2);
        QCOMPARE(preview->item(1, description - 1)->text(), "Second");
        QCOMPARE(preview->horizontalHeaderItem(interval_months - 1)->text(),
                 "Calibration is required every");
        // A field is filled by one column: choosing it for another takes it from the first.
        o.field(3)->setCurrentIndex(description);
        QCOMPARE(o.field(2)->currentIndex(), 0);
        o.field(2)->setCurrentIndex(description);
        QCOMPARE(o.field(3)->currentIndex(), 0);
        o.field(3)->setCurrentIndex(interval_months);

        const std::string before = o.f.products();
        Messages::clear();
        o.f.run("No; importButton");
        QCOMPARE(shown_messages(),
                 QStringList{"Question \"Durnmoor\": 1 existing instruments have the number of an "
                             "imported one and will be replaced. Replace them? (Yes|No, default "
                             "No)"});
        QCOMPARE(o.f.products(), before);
        QVERIFY(!o.f.env.exists("backups"));

        Messages::clear();
        o.f.run("Yes; importButton");
        QCOMPARE(shown_messages().last(), "Information \"Durnmoor\": 1 instrument was added "
                                          "and 1 replaced. (Ok, default Ok)");
        QCOMPARE(
            o.f.products(),
            file_of({with(old_a1, {{description, "New"}, {interval_months, "12"}}),
                     with(product_record{}, {{instrument_no, "N2"}, {description, "Second"}})}));
        const QStringList sets =
            QDir(o.f.env.path("backups")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(o.f.env.read_file("backups/" + sets.front() + "/products.dat"), before);
        QCOMPARE(actions_in_trail(o.f.env),
                 (QStringList{"instrument.change A1", "instrument.add N2"}));
        QVERIFY(open_windows("ImportInstruments").isEmpty());
        QCOMPARE(o.f.lines_of(), (QStringList{"A1", "N2"}));
    }

    // A register that cannot be replaced keeps every byte, and the window stays for another try.
    void a_failed_write_changes_nothing()
    {
        Opened o(import_csv);
        const std::string before = o.f.products();
        Messages::clear();
        o.f.run("block products2.dat; Yes; importButton");
        QCOMPARE(o.f.products(), before);
        QCOMPARE(shown_messages().size(), 2);
        QCOMPARE(shown_messages().last(),
                 "Warning \"Durnmoor\": products.dat could not be saved.\nproducts2.dat: Is a "
                 "directory\nproducts.dat has been left as it was. (Ok, default Ok)");
        QCOMPARE(open_windows("ImportInstruments").size(), 1);
        // The entries written before the replace failed are each followed by a failed one.
        QCOMPARE(actions_in_trail(o.f.env),
                 (QStringList{"instrument.change A1", "instrument.add N2", "instrument.add N3",
                              "failed ", "failed ", "failed "}));
    }

    // Nothing to replace, nothing asked.
    void adding_asks_nothing()
    {
        Opened o("Instrument No\r\nN9\r\n");
        Messages::clear();
        o.f.run("importButton");
        QCOMPARE(shown_messages(), QStringList{"Information \"Durnmoor\": 1 instrument was added "
                                               "and 0 replaced. (Ok, default Ok)"});
        QCOMPARE(o.f.products(),
                 file_of({old_a1, with(product_record{}, {{instrument_no, "N9"}})}));
    }

    void a_file_that_cannot_be_read_is_told()
    {
        WindowFixture f;
        const QString missing = f.env.path("gone.csv");
        QString caption;
        set_open_file_chooser([&](QWidget *, const OpenFileRequest &request) {
            caption = request.caption;
            return QStringList{missing};
        });
        Messages::clear();
        f.run("importinstruments");
        QCOMPARE(caption, "Import Instruments");
        QCOMPARE(shown_messages(), QStringList{"Warning \"Durnmoor\": " + missing +
                                               " could not be read.\nNo such file or directory "
                                               "(Ok, default Ok)"});
        QVERIFY(open_windows("ImportInstruments").isEmpty());
    }

    // Without the edit right the menu item is disabled, and no file is asked for even when
    // the item is chosen some other way.
    void needs_the_edit_right()
    {
        WindowFixture f({.settings = {{"Pass/Word", "YES"}}});
        f.run("disabled importinstruments");
        bool asked = false;
        set_open_file_chooser([&](QWidget *, const OpenFileRequest &) {
            asked = true;
            return QStringList();
        });
        auto *item = f.control<QAction>("importinstruments");
        item->setEnabled(true);
        item->trigger();
        QVERIFY(!asked);
    }
};

QTEST_MAIN(ImportWindowTest)
#include "tst_import_window.moc"
