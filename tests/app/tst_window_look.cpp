// How the windows read on a laptop screen: locked fields, the smallest window, the date
// lists, the search box's start text, what a save says and the start-up reminders.
#include "common/locked_look.h"
#include "support/window_fixture.h"

#include <map>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// What a field shows, as painted: its background (the colour most of its inside has) and its
// text (the colour that stands out most from that background).
struct Painted {
    QColor background;
    QColor text;
};

Painted painted(QWidget *field)
{
    const QImage image = field->grab().toImage();
    std::map<QRgb, int> counts;
    const QRect inside = image.rect().adjusted(3, 3, -3, -3);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (const auto &[colour, count] : counts)
        if (count > most)
            std::tie(background, most) = std::pair(colour, count);
    QColor text = QColor::fromRgb(background);
    for (const auto &[colour, count] : counts)
        if (contrast_ratio(QColor::fromRgb(colour), QColor::fromRgb(background)) >
            contrast_ratio(text, QColor::fromRgb(background)))
            text = QColor::fromRgb(colour);
    return {QColor::fromRgb(background), text};
}

const std::string contacts = crlf_lines({"Calibra GmbH", "Jane Doe", "1 High Street", "", "", "",
                                         "", "", "SP1 2AB", "01234", "", "cal@example.com"});

} // namespace

class WindowLookTest : public QObject {
    Q_OBJECT

private slots:
    // Every field that cannot be typed into, on every tab, disabled or read-only, is painted
    // alike and readable (at least 4.5:1), unlike a field that can; and it is not in the
    // Tab order, as typing into it would do nothing.
    void locked_fields_read_clearly()
    {
        WindowFixture f(file_of({make_record({"DMM-014", "Bench multimeter"})}),
                        crlf_lines({"DMM-014", "05/12/2025", "80.00", "#1RESULT", "In tolerance",
                                    "#2RESULT"}),
                        [](TestEnv &env) { env.write_file("contacts.dat", contacts); });
        f.run("row=0; tab=1; Combo7=Calibra GmbH; tab=3; history row=0; tab=2");
        const QColor editable = painted(f.control<QLineEdit>("Text31")).background;
        QColor locked_background;
        for (const char *name : {"Text1", "Text2", "Text6", "Text21", "Combo1", "Combo5", "Text7",
                                 "Text8", "Text18", "Text22", "Text26", "Text27", "Text28",
                                 "Text29"}) {
            QWidget *field = f.control<QWidget>(name);
            QVERIFY2(field, name);
            const Painted look = painted(field);
            QVERIFY2(contrast_ratio(look.text, look.background) >= 4.5,
                     qPrintable(QString("%1: %2 on %3 is %4:1")
                                    .arg(name, look.text.name(), look.background.name())
                                    .arg(contrast_ratio(look.text, look.background))));
            if (!locked_background.isValid())
                locked_background = look.background;
            QCOMPARE(look.background.name(), locked_background.name());
            QVERIFY2(!(field->focusPolicy() & Qt::TabFocus) || !field->isEnabled(), name);
        }
        QVERIFY(contrast_ratio(editable, locked_background) > 1.05);
    }
};

QTEST_MAIN(WindowLookTest)
#include "tst_window_look.moc"
