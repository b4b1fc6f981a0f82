// The listing of instruments falling due, through the options of the listing tab, with
// today fixed at 5 December 2026.
#include "support/window_fixture.h"

#include <QTest>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

product_record due(const std::string &number, const std::string &description,
                   const std::string &day, const std::string &month, const std::string &year,
                   const std::string &availability = "AVAILABLE",
                   const std::string &mode = "EXTERNAL")
{
    return make_record({number, description, availability, " 12 ", day, month, year, mode});
}

std::string mixed_register()
{
    return file_of({due("JUL-05", "Thermometer", "5", "July", "2026"),       // 7 months away
                    due("JAN-10", "Torque wrench", "10", "January", "2026"), // 1 month away
                    due("FEB-01", "Pressure gauge", "1", "February", "2026"),
                    due("OVR-25", "Old meter", "1", "January", "2025"),    // overdue
                    due("DEC-31", "Hygrometer", "31", "December", "2025"), // later this month
                    due("OBS-1", "Obsolete bridge", "5", "November", "2025", "OBSOLETE"), // overdue
                    due("REF-1", "Reference", "5", "December", "2025", "AVAILABLE", "REF ONLY"),
                    due("BAD-1", "Unknown history", "xx", "May", "2025")}); // no date
}

} // namespace

class tst_DueListing : public QObject {
    Q_OBJECT

private slots:
    void horizon_data();
    void horizon();
};

void tst_DueListing::horizon_data()
{
    QTest::addColumn<QByteArray>("option");
    QTest::addColumn<QString>("register_kind"); // listed by number or description, or empty
    QTest::addColumn<QStringList>("listed");

    const QStringList two{"BAD-1", "DEC-31", "FEB-01", "JAN-10", "OBS-1", "OVR-25", "REF-1"};
    QTest::newRow("1 Month") << QByteArray("Option8") << "number"
                             << QStringList{"BAD-1", "DEC-31", "JAN-10",
                                            "OBS-1", "OVR-25", "REF-1"};
    QTest::newRow("2 Months") << QByteArray("Option12") << "number" << two;
    QTest::newRow("3 Months") << QByteArray("Option9") << "number" << two;
    QTest::newRow("6 Months") << QByteArray("Option10") << "number" << two;
    QTest::newRow("12 Months and beyond")
        << QByteArray("Option11") << "number"
        << QStringList{"BAD-1", "DEC-31", "FEB-01", "JAN-10", "JUL-05", "OBS-1", "OVR-25", "REF-1"};
    QTest::newRow("1 Month by description")
        << QByteArray("Option8") << "description"
        << QStringList{"Hygrometer", "Obsolete bridge", "Old meter",
                       "Reference",  "Torque wrench",   "Unknown history"};
    QTest::newRow("empty register") << QByteArray("Option8") << "empty" << QStringList{};
}

void tst_DueListing::horizon()
{
    QFETCH(QByteArray, option);
    QFETCH(QString, register_kind);
    WindowFixture f(register_kind == "empty" ? std::string() : mixed_register());
    if (register_kind == "description")
        f.click_button("Option6");
    // From another horizon first, so that the chosen one has something to change.
    f.click_button(option == "Option8" ? "Option10" : "Option8");
    f.click_button(option.constData());
    QTEST(f.list_lines(), "listed");
    QVERIFY(f.window->windowTitle().startsWith(QLatin1String("Durnmoor V1.0")));
}

QTEST_MAIN(tst_DueListing)
#include "tst_due_listing.moc"
