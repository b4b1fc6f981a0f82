// The start-up reminder, with today fixed at Saturday 5 December 2026.
#include "calibration/reminders.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// Due on the given day: last calibrated a year before, every 12 months.
product_record due_on(const std::string &number, int day, const std::string &month = "December")
{
    return make_record({number, "", "AVAILABLE", " 12 ", std::to_string(day), month, "2025"});
}

} // namespace

class RemindersTest : public QObject {
    Q_OBJECT

private slots:
    // Due within the notice or overdue, obsolete or not, in file order; never a record whose
    // dates give no due date.
    void due_within_the_notice_data()
    {
        QTest::addColumn<int>("notice");
        QTest::addColumn<QString>("reminded"); // number:days
        QTest::newRow("a week") << 7 << "TODAY:0 WEEK:7 LATE:-4 OBS:-30";
        QTest::newRow("none: due today or overdue") << 0 << "TODAY:0 LATE:-4 OBS:-30";
    }
    void due_within_the_notice()
    {
        QFETCH(int, notice);
        const ProductsData data(
            file_of({due_on("TODAY", 5), due_on("WEEK", 12), due_on("EIGHT", 13), due_on("LATE", 1),
                     with(due_on("OBS", 5, "November"), {{availability, "OBSOLETE"}}),
                     due_on("NODATE", 31, "April")}));
        QStringList reminded;
        for (const DueReminder &r : due_reminders(data, QDate(2026, 12, 5), notice))
            reminded << QString::fromStdString(r.instrument_no) + ':' + QString::number(r.days);
        QTEST(reminded.join(' '), "reminded");
    }

    // One window for each instrument within the week's notice, only when the reminder is on.
    void windows_at_start_up_data()
    {
        QTest::addColumn<QVariant>("on");
        QTest::addColumn<int>("windows");
        QTest::newRow("on") << QVariant("1") << 3;
        QTest::newRow("off") << QVariant("0") << 0;
        QTest::newRow("absent") << QVariant() << 0;
    }
    void windows_at_start_up()
    {
        QFETCH(QVariant, on);
        const WindowFixture f(
            file_of({due_on("DMM-014", 10), due_on("FAR", 20), due_on("B", 1), due_on("C", 6)}), {},
            [&](TestEnv &env) {
                if (on.isValid())
                    env.settings().setValue("Reminder/On", on);
            });
        QStringList shown;
        for (QWidget *window : open_windows("Reminder")) {
            QCOMPARE(window->windowTitle(), "Durnmoor - Calibration Due Date Reminder");
            for (const char *label : {"Label1", "Label2", "Label3", "Label4"})
                shown << window->findChild<QLabel *>(label)->text();
            window->close();
        }
        QTEST(int(shown.size() / 4), "windows");
        QVERIFY(shown.isEmpty() ||
                shown.join('/').contains("DMM-014/is due for calibration in/"
                                         "5 days time./Thursday 10 December 2026"));
    }
};

QTEST_MAIN(RemindersTest)
#include "tst_reminders.moc"
