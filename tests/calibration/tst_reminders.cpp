// The start-up reminder, with today fixed at Saturday 5 December 2026.
#include "calibration/reminders.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

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
    void due_within_the_notice_data()
    {
        QTest::addColumn<int>("notice");
        QTest::addColumn<QString>("reminded"); // number:days, in file order
        QTest::newRow("a week") << 7 << "TODAY:0 WEEK:7 LATE:-4 OBS:-30";
        QTest::newRow("none: due today or overdue") << 0 << "TODAY:0 LATE:-4 OBS:-30";
    }
    void due_within_the_notice()
    {
        QFETCH(int, notice);
        product_record obsolete = due_on("OBS", 5, "November");
        obsolete[availability] = "OBSOLETE";
        product_record no_date = due_on("NODATE", 31, "April");
        const ProductsData data(
            file_of({due_on("TODAY", 5), due_on("WEEK", 12), due_on("EIGHT", 13), due_on("LATE", 1),
                     obsolete, no_date}));
        QStringList reminded;
        for (const DueReminder &r : due_reminders(data, QDate(2026, 12, 5), notice))
            reminded << QString::fromStdString(r.instrument_no) + ':' + QString::number(r.days);
        QTEST(reminded.join(' '), "reminded");
    }

    // One window each, in file order, only when the reminder is on.
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
        QFETCH(int, windows);
        const std::string products =
            file_of({due_on("DMM-014", 10), due_on("FAR", 20), due_on("B", 1), due_on("C", 6)});
        WindowFixture f(products, {}, [&](TestEnv &env) {
            if (on.isValid())
                env.settings().setValue("Reminder/On", on);
        });
        QStringList shown;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() != QLatin1String("Reminder") || !window->isVisible())
                continue;
            QCOMPARE(window->windowTitle(),
                     QStringLiteral("Durnmoor - Calibration Due Date Reminder"));
            QStringList lines;
            for (const char *label : {"Label1", "Label2", "Label3", "Label4"})
                lines << window->findChild<QLabel *>(label)->text();
            shown << lines.join(" / ");
            window->close();
        }
        QCOMPARE(shown.size(), windows);
        if (windows)
            QVERIFY(shown.contains("DMM-014 / is due for calibration in / 5 days time. / "
                                   "Thursday 10 December 2026"));
    }
};

QTEST_MAIN(RemindersTest)
#include "tst_reminders.moc"
