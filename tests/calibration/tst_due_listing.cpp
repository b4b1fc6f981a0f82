// The listing of instruments falling due, driven through the options of the "Product
// Listing" tab with today fixed at Saturday 5 December 2026.
#include "app/message_box.h"
#include "support/window_fixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace durnmoor;
using durnmoor::test::file_of;
using durnmoor::test::make_record;
using durnmoor::test::RecordSpec;
using durnmoor::test::WindowFixture;

namespace {

constexpr char normal_caption_start[] = "Durnmoor V1.0";
constexpr char listing_caption[] = "Listing...";

product_record due(const std::string &number, const std::string &description,
                   const std::string &day, const std::string &month, const std::string &year,
                   const std::string &interval = " 12 ")
{
    return make_record({.number = number,
                        .description = description,
                        .interval = interval,
                        .day = day,
                        .month = month,
                        .year = year});
}

// One instrument on each side of every horizon, in no particular order.
std::string mixed_register()
{
    product_record obsolete = due("OBS-1", "Obsolete bridge", "15", "October", "2026", " 1 ");
    obsolete[availability] = "OBSOLETE";
    product_record reference = due("REF-1", "Reference standard", "05", "December", "2025");
    reference[cal_mode] = "REF ONLY";
    return file_of({
        due("JUL-05", "Thermometer", "5", "July", "2026"),            // due Jul 2027: 7 months
        due("JAN-10", "Torque wrench", "10", "January", "2026"),      // due Jan 2027: 1 month
        due("FEB-01", "Pressure gauge", "1", "February", "2026"),     // due Feb 2027: 2 months
        due("MAR-31", "Caliper", "31", "March", "2026"),              // due Mar 2027: 3 months
        due("JUN-30", "Oscilloscope", "30", "June", "2026"),          // due Jun 2027: 6 months
        due("OVR-25", "Old meter", "1", "January", "2025"),           // due Jan 2026: overdue
        due("DEC-01", "Balance", "1", "December", "2025"),            // due 1 Dec 2026
        due("DEC-31", "hygrometer", "31", "December", "2025"),        // due 31 Dec 2026
        due("CLAMP", "Micrometer", "31", "October", "2026", " 4 "),   // due 28 Feb 2027
        obsolete,                                                     // due Nov 2026: overdue
        reference,                                                    // due today
        due("BAD-1", "Unknown history", "xx", "December", "2025"),    // no due date
    });
}

const QStringList within_one_month{"BAD-1", "DEC-01", "DEC-31", "JAN-10",
                                   "OBS-1", "OVR-25", "REF-1"};
const QStringList within_two_months = within_one_month + QStringList{"CLAMP", "FEB-01"};
const QStringList within_three_months = within_two_months + QStringList{"MAR-31"};
const QStringList within_six_months = within_three_months + QStringList{"JUN-30"};
const QStringList everything = within_six_months + QStringList{"JUL-05"};

QStringList sorted(QStringList lines)
{
    lines.sort(Qt::CaseInsensitive);
    return lines;
}

QStringList titles_of(const QSignalSpy &spy)
{
    QStringList titles;
    for (const QList<QVariant> &signal : spy)
        titles << signal.at(0).toString();
    return titles;
}

} // namespace

class tst_DueListing : public QObject {
    Q_OBJECT

private slots:
    void horizon_lists_due_instruments_data();
    void horizon_lists_due_instruments();
    void nothing_to_list_data();
    void nothing_to_list();
    void recorded_calibration_leaves_the_listing();
};

void tst_DueListing::horizon_lists_due_instruments_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("by_description");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("1 Month") << "Option8" << false << sorted(within_one_month);
    QTest::newRow("2 Months") << "Option12" << false << sorted(within_two_months);
    QTest::newRow("3 Months") << "Option9" << false << sorted(within_three_months);
    QTest::newRow("6 Months") << "Option10" << false << sorted(within_six_months);
    QTest::newRow("12 Months and beyond") << "Option11" << false << sorted(everything);
    QTest::newRow("1 Month by description")
        << "Option8" << true
        << QStringList{"Balance",    "hygrometer",         "Obsolete bridge", "Old meter",
                       "Reference standard", "Torque wrench", "Unknown history"};
    QTest::newRow("12 Months and beyond by description")
        << "Option11" << true
        << QStringList{"Balance",         "Caliper",           "hygrometer",
                       "Micrometer",      "Obsolete bridge",   "Old meter",
                       "Oscilloscope",    "Pressure gauge",    "Reference standard",
                       "Thermometer",     "Torque wrench",     "Unknown history"};
}

void tst_DueListing::horizon_lists_due_instruments()
{
    QFETCH(QString, option);
    QFETCH(bool, by_description);
    QFETCH(QStringList, listed);
    const QByteArray option_name = option.toLatin1();

    WindowFixture f(mixed_register());
    if (by_description) {
        f.click_option("Option6");
        QVERIFY(f.control<QRadioButton>("Option6")->isChecked());
    }
    // Start from a shorter horizon, so the full listing has something to change.
    if (option == QLatin1String("Option11"))
        f.click_option("Option10");

    QSignalSpy titles(f.window.get(), &QWidget::windowTitleChanged);
    f.click_option(option_name.constData());

    QVERIFY(f.control<QRadioButton>(option_name.constData())->isChecked());
    QCOMPARE(f.list_lines(), listed);
    // The full listing is the plain reload, which puts up no working caption.
    QCOMPARE(titles_of(titles).contains(QString::fromLatin1(listing_caption)),
             option != QLatin1String("Option11"));
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));
    QVERIFY(f.list()->isVisible());
    QVERIFY(f.list()->selectedItems().isEmpty());
    QCOMPARE(f.products(), mixed_register());
    QVERIFY(Messages::shown().empty());
}

void tst_DueListing::nothing_to_list_data()
{
    QTest::addColumn<QByteArray>("products");
    QTest::newRow("empty register") << QByteArray();
    QTest::newRow("nothing due within a month") << QByteArray::fromStdString(
        file_of({due("JUL-05", "Thermometer", "5", "July", "2026"),
                 due("FEB-01", "Pressure gauge", "1", "February", "2026")}));
}

void tst_DueListing::nothing_to_list()
{
    QFETCH(QByteArray, products);
    WindowFixture f(products.toStdString());
    QSignalSpy titles(f.window.get(), &QWidget::windowTitleChanged);
    f.click_option("Option8");

    QCOMPARE(f.list_lines(), QStringList{});
    QVERIFY(titles_of(titles).contains(QString::fromLatin1(listing_caption)));
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String(normal_caption_start)));
    QVERIFY(f.window->isEnabled());
    QVERIFY(f.list()->isVisible());
    QVERIFY(f.env.exists(QStringLiteral("products.dat")));
}

// The due listing reads the date that recording a calibration stored.
void tst_DueListing::recorded_calibration_leaves_the_listing()
{
    WindowFixture f(file_of({due("OVR-25", "Old meter", "1", "January", "2025"),
                             due("JAN-10", "Torque wrench", "10", "January", "2026")}));
    f.click_option("Option8");
    QCOMPARE(f.list_lines(), (QStringList{"JAN-10", "OVR-25"}));

    f.click_text(QStringLiteral("OVR-25"));
    f.double_click_row(f.list_lines().indexOf(QStringLiteral("OVR-25")));
    f.show_tab(tab_history);
    f.click_button("Command9");
    auto *result = f.control<QPlainTextEdit>("Text26");
    QVERIFY(!result->isReadOnly());
    QTest::keyClicks(result, QStringLiteral("Calibrated OK"));
    Messages::queue_answer(QMessageBox::Yes);
    QVERIFY(f.control<QPushButton>("Command10")->isEnabled());
    f.click_button("Command10");

    f.show_tab(tab_listing);
    f.click_option("Option10");
    QCOMPARE(f.list_lines(), QStringList{"JAN-10"});
    f.click_option("Option11");
    QCOMPARE(f.list_lines(), (QStringList{"JAN-10", "OVR-25"}));
}

QTEST_MAIN(tst_DueListing)
#include "tst_due_listing.moc"
