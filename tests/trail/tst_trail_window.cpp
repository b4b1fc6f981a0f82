// The audit trail's window: newest first, narrowed by number, user, action and days, the
// entries made meanwhile at the top, a million entries read as they are shown, and the rows
// shown exported to CSV.
#include "audit/audit_entry.h"
#include "common/save_file_chooser.h"
#include "support/window_fixture.h"
#include "trail/trail_model.h"
#include "trail/trail_window.h"

#include <QSignalSpy>

#include <ctime>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

struct Made {
    std::string user, action, time;
    std::vector<std::string> key;
    std::vector<FieldChange> changes;
};

std::string line_of(std::int64_t seq, const Made &made)
{
    return audit_line(
               {.seq = seq,
                .time = made.time,
                .user = made.user,
                .action = made.action,
                .file = made.action.starts_with("calibration") ? "history.dat" : "products.dat",
                .key = made.key,
                .changes = made.changes,
                .prev = std::string(no_prev_line)}) +
           '\n';
}

// Seven lines, the fifth changed by hand so that it is no entry at all.
std::string sample_trail()
{
    // clang-format off
    const Made made[] = {
        {"anna", "instrument.add", "2026-12-04T23:59:59.999Z", {"AB-12"}, {{"number", {}, "AB-12"}}},
        {"os:bob", "calibration.add", "2026-12-05T00:00:00.000Z", {"ab-12", "2026-12-05"}},
        {"Anna", "contact.add", "2026-12-05T12:00:00.000Z", {"AB-12 Labs"}},
        {"carl", "instrument.change", "2026-12-05T23:59:59.999Z", {"XY-9"}},
        {},
        {"anna", "login.fail", "2026-12-06T00:00:00.000Z", {}},
        {"bob", "instrument.delete", "2026-12-06T08:00:00.000Z", {"AB-120"},
         {{"description", "Probe, \"old\"\nsecond line", {}}}},
    };
    // clang-format on
    std::string trail;
    for (std::size_t i = 0; i < std::size(made); ++i)
        trail += made[i].user.empty() ? "{\"seq\":5, changed by hand\n" : line_of(i + 1, made[i]);
    return trail;
}

// One column of every row, top to bottom.
QStringList column_of(const TrailModel &model, int column)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.index(row, column).data().toString();
    return shown;
}

struct Folder {
    TestEnv env;
    explicit Folder(const std::string &trail) { env.write_file("audit.log", trail); }
};

} // namespace

class TrailWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The days of the filter are the user's days; these cases are written in UTC.
        qputenv("TZ", "UTC");
        tzset();
    }
    void cleanup() { set_save_file_chooser({}); }

    void filters_narrow_the_rows_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("until");
        QTest::addColumn<QStringList>("seqs");
        const auto row = [](const char *name, const char *number, const char *user,
                            const char *action, const char *from, const char *until,
                            const QStringList &seqs) {
            QTest::newRow(name) << number << user << action << from << until << seqs;
        };
        // clang-format off
        row("none", "", "", "", "", "", {"7", "6", "", "4", "3", "2", "1"});
        // An instrument's own entries and its calibrations', not a company named like it.
        row("number, any case", " ab-12 ", "", "", "", "", {"7", "2", "1"});
        row("user, any case", "", "ANNA", "", "", "", {"6", "3", "1"});
        row("system's user too", "", "bob", "", "", "", {"7", "2"});
        row("action", "", "", "instrument.add", "", "", {"1"});
        row("one whole day", "", "", "", "2026-12-05", "2026-12-05", {"4", "3", "2"});
        row("from a day", "", "", "", "2026-12-06", "", {"7", "6"});
        row("until a day", "", "", "", "", "2026-12-04", {"1"});
        row("all must hold", "AB", "bob", "calibration.add", "2026-12-05", "2026-12-06", {"2"});
        row("nothing found", "zz", "", "", "", "", {});
        // clang-format on
    }
    void filters_narrow_the_rows()
    {
        QFETCH(QString, number);
        QFETCH(QString, user);
        QFETCH(QString, action);
        QFETCH(QString, from);
        QFETCH(QString, until);
        QFETCH(QStringList, seqs);
        Folder folder(sample_trail());
        TrailWindow window(folder.env.dir());
        QTest::keyClicks(window.findChild<QLineEdit *>("numberFilter"), number);
        QTest::keyClicks(window.findChild<QLineEdit *>("userFilter"), user);
        auto *actions = window.findChild<QComboBox *>("actionFilter");
        if (!action.isEmpty())
            actions->setCurrentIndex(actions->findText(action));
        for (const auto &[check, date, day] : {std::tuple{"fromCheck", "fromDate", from},
                                               std::tuple{"untilCheck", "untilDate", until}})
            if (!day.isEmpty()) {
                window.findChild<QCheckBox *>(check)->setChecked(true);
                window.findChild<QDateEdit *>(date)->setDate(QDate::fromString(day, Qt::ISODate));
            }
        window.apply_filter(); // without waiting for a pause in the typing
        window.model().scan_all();
        QCOMPARE(column_of(window.model(), TrailModel::column_seq), seqs);
        const QString count = window.findChild<QLabel *>("countLabel")->text();
        QCOMPARE(count,
                 seqs.size() == 7 ? "7 entries" : QString("%1 of 7 entries").arg(seqs.size()));
    }

    // What a row shows: the time in the user's own, the record's key, each change; a line
    // that is no entry as it stands.
    void rows_show_the_entries()
    {
        Folder folder(sample_trail());
        TrailModel model(folder.env.dir());
        QVERIFY(model.refresh());
        const auto row = [&](int r) {
            QStringList cells;
            for (int c = 0; c < TrailModel::column_count; ++c)
                cells << model.index(r, c).data().toString();
            return cells.join('|');
        };
        QCOMPARE(row(0), "7|2026-12-06 08:00:00|bob|instrument.delete|products.dat|AB-120|"
                         "description: Probe, \"old\"; second line");
        QCOMPARE(row(2), "|||(not an entry)|||{\"seq\":5, changed by hand");
        QCOMPARE(row(5),
                 "2|2026-12-05 00:00:00|os:bob|calibration.add|history.dat|ab-12 / 2026-12-05|");
        QCOMPARE(model.index(6, TrailModel::column_changes).data().toString(), "number: AB-12");
        QCOMPARE(model.index(0, TrailModel::column_time).data(Qt::ToolTipRole).toString(),
                 "2026-12-06T08:00:00.000Z");
    }

    // Entries written while the window is open come in at the top, with or without a filter;
    // a trail replaced by another is shown anew.
    void the_trail_is_followed_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("seqs");
        QTest::addColumn<int>("inserted");
        QTest::newRow("all") << "" << QStringList{"9", "8", "7", "6", "", "4", "3", "2", "1"} << 2;
        QTest::newRow("filtered") << "bob" << QStringList{"9", "7", "2"} << 1;
    }
    void the_trail_is_followed()
    {
        QFETCH(QString, user);
        QFETCH(QStringList, seqs);
        QFETCH(int, inserted);
        Folder folder(sample_trail());
        TrailModel model(folder.env.dir());
        QVERIFY(model.refresh());
        model.set_filter({.user = user.toStdString()});
        model.scan_all();
        QSignalSpy rows(&model, &TrailModel::rowsInserted);
        QFile trail(folder.env.path("audit.log"));
        QVERIFY(trail.open(QIODevice::Append));
        trail.write(
            QByteArray::fromStdString(line_of(8, {"anna", "login.ok", "2026-12-06T09:00:00.000Z"}) +
                                      line_of(9, {"bob", "login.ok", "2026-12-06T09:01:00.000Z"})));
        trail.close();
        QVERIFY(model.refresh());
        QCOMPARE(column_of(model, TrailModel::column_seq), seqs);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][1].toInt(), 0);
        QCOMPARE(rows[0][2].toInt(), inserted - 1);

        folder.env.write_file("audit.log",
                              line_of(1, {"bob", "login.ok", "2026-12-07T09:00:00.000Z"}));
        QVERIFY(model.refresh());
        model.scan_all();
        QCOMPARE(column_of(model, TrailModel::column_time), QStringList{"2026-12-07 09:00:00"});
    }

    // The rows shown, all of them, go to the file chosen, in RFC 4180 with a byte-order mark;
    // a cancelled choice writes nothing, and a file that cannot be written is told.
    void the_rows_shown_are_exported()
    {
        Folder folder(sample_trail());
        TrailWindow window(folder.env.dir());
        QTest::keyClicks(window.findChild<QLineEdit *>("userFilter"), "bob");
        window.apply_filter();
        QVERIFY(window.model().scanning()); // the export does not wait for the search to end
        QStringList asked;
        QString chosen = folder.env.path("out.csv");
        set_save_file_chooser([&](QWidget *, const SaveFileRequest &request) {
            asked << request.caption << request.filter;
            return chosen;
        });
        QTest::mouseClick(window.findChild<QPushButton *>("exportButton"), Qt::LeftButton);
        QCOMPARE(asked, (QStringList{"Export Audit Trail", "CSV (*.csv)"}));
        QCOMPARE(folder.env.read_file("out.csv"),
                 "\xEF\xBB\xBF"
                 "seq,time,user,action,file,record,changes,after,entry\r\n"
                 "7,2026-12-06T08:00:00.000Z,bob,instrument.delete,products.dat,AB-120,"
                 "\"description: Probe, \"\"old\"\"\nsecond line\",,\r\n"
                 "2,2026-12-05T00:00:00.000Z,os:bob,calibration.add,history.dat,ab-12 / "
                 "2026-12-05,,,\r\n");
        QCOMPARE(window.findChild<QLabel *>("countLabel")->text(), "2 entries exported to out.csv");

        window.findChild<QLineEdit *>("userFilter")->clear();
        window.apply_filter();
        QTest::mouseClick(window.findChild<QPushButton *>("exportButton"), Qt::LeftButton);
        const std::string all = folder.env.read_file("out.csv");
        QVERIFY(all.find("\r\n,,,(not an entry),,,\"{\"\"seq\"\":5, changed by hand\",,\r\n") !=
                std::string::npos);
        QCOMPARE(std::count(all.begin(), all.end(), '\r'), 8);

        chosen.clear(); // cancelled
        QTest::mouseClick(window.findChild<QPushButton *>("exportButton"), Qt::LeftButton);
        QCOMPARE(folder.env.read_file("out.csv"), all);

        chosen = folder.env.path("missing/out.csv");
        Messages::clear();
        QTest::mouseClick(window.findChild<QPushButton *>("exportButton"), Qt::LeftButton);
        QCOMPARE(shown_messages(), QStringList{"Warning \"Durnmoor\": " + chosen +
                                               " could not be written.\nNo such file or "
                                               "directory\nNothing has been exported. (Ok, "
                                               "default Ok)"});
    }

    // A million entries: the window opens on the newest, scrolls to the first, and a search
    // finds the few among them.
    void a_million_entries()
    {
        TestEnv env;
        {
            QFile trail(env.path("audit.log"));
            QVERIFY(trail.open(QIODevice::WriteOnly));
            std::string piece;
            for (int seq = 1; seq <= 1000000; ++seq) {
                piece += line_of(
                    seq, {seq % 100000 ? "anna" : "zoe", "login.ok", "2026-12-05T09:30:00.000Z"});
                if (piece.size() > (8 << 20) || seq == 1000000) {
                    QVERIFY(trail.write(piece.data(), qint64(piece.size())) ==
                            qint64(piece.size()));
                    piece.clear();
                }
            }
        }
        TrailWindow window(env.dir());
        window.show();
        auto *view = window.findChild<QTableView *>("entriesView");
        QCOMPARE(view->model()->rowCount(), 1000000);
        QCOMPARE(view->model()->index(view->rowAt(0), 0).data().toString(), "1000000");
        view->scrollToBottom();
        QCOMPARE(
            view->model()->index(view->rowAt(view->viewport()->height() - 1), 0).data().toString(),
            "1");
        QTest::keyClicks(window.findChild<QLineEdit *>("userFilter"), "zoe");
        QTRY_VERIFY_WITH_TIMEOUT(
            window.model().filter().user == "zoe" && !window.model().scanning(), 60000);
        QCOMPARE(column_of(window.model(), TrailModel::column_seq),
                 (QStringList{"1000000", "900000", "800000", "700000", "600000", "500000", "400000",
                              "300000", "200000", "100000"}));
    }

    // The File menu opens it over the program's own trail, the change just made on top.
    void the_menu_opens_it()
    {
        WindowFixture f;
        f.run("tab=2; Command1; Text1=N-1; Text2=Probe; Command4");
        f.run("audittrail");
        const QWidgetList open = open_windows("TrailWindow");
        QCOMPARE(open.size(), 1);
        const auto *model = static_cast<const TrailModel *>(
            open[0]->findChild<QTableView *>("entriesView")->model());
        QCOMPARE(model->index(0, TrailModel::column_action).data().toString(), "instrument.add");
        QCOMPARE(model->index(0, TrailModel::column_record).data().toString(), "N-1");
    }
};

QTEST_MAIN(TrailWindowTest)
#include "tst_trail_window.moc"
