// How the windows read on a laptop screen: locked fields, the smallest window, the date
// lists, the search box's start text, what a save says and the start-up reminders.
#include "app/status_line.h"
#include "common/locked_look.h"
#include "common/title_width.h"
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

product_record calibrated(const std::string &number, const std::string &day,
                          const std::string &month)
{
    return make_record({number, "", "AVAILABLE", "12", day, month, "2025"});
}

const std::string boss = crlf_lines({"Boss", "Pw", " 1 ", " 1 ", " 1 "});

} // namespace

class WindowLookTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Every field that cannot be typed into, on every tab, disabled or read-only, is painted
    // alike and readable (at least 4.5:1), unlike a field that can; and it is not in the
    // Tab order, as typing into it would do nothing.
    void locked_fields_read_clearly()
    {
        WindowFixture f({.products = file_of({make_record({"DMM-014", "Bench multimeter"})}),
                         .history = crlf_lines({"DMM-014", "05/12/2025", "80.00", "#1RESULT",
                                                "In tolerance", "#2RESULT"}),
                         .contacts = contacts});
        f.run("row=0; tab=1; Combo7=Calibra GmbH; tab=3; history row=0; tab=2");
        const QColor editable = painted(f.control<QLineEdit>("Text31")).background;
        QColor locked_background;
        for (const char *name :
             {"Text1", "Text2", "Text6", "Text21", "Combo1", "Combo5", "Text7", "Text8", "Text18",
              "Text22", "Text26", "Text27", "Text28", "Text29"}) {
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
        // The record's options read as clearly; the choices of the listing keep their look.
        const QPalette mode = f.control<QWidget>("Option1")->palette();
        QVERIFY(!f.control<QWidget>("Option1")->isEnabled());
        QVERIFY(contrast_ratio(mode.color(QPalette::Disabled, QPalette::WindowText),
                               mode.color(QPalette::Disabled, QPalette::Window)) >= 4.5);
        QCOMPARE(f.control<QWidget>("Option5")->palette(), QApplication::palette());
        QVERIFY(contrast_ratio(editable, locked_background) > 1.05);
    }

    // The window fits a 1280x800 screen at 125 %: 1024x640 less a panel and the title bar.
    // At its smallest, nothing on any tab is cut or squeezed below what it needs, and the
    // fields grow when the window does.
    void fits_a_laptop_screen()
    {
        WindowFixture f({.products = file_of({make_record({"DMM-014", "Bench multimeter"})})});
        MainWindow &window = *f.window;
        const QSize smallest = window.minimumSizeHint().expandedTo(window.minimumSize());
        QVERIFY2(smallest.width() <= 1000 && smallest.height() <= 560,
                 qPrintable(QString("%1x%2").arg(smallest.width()).arg(smallest.height())));
        const QSize screen = window.screen()->availableGeometry().size();
        QVERIFY(window.width() <= screen.width() && window.height() <= screen.height());
        auto *tabs = window.findChild<QTabWidget *>("SSTab1");
        for (const QSize size : {smallest, QSize(1400, 900)}) {
            window.resize(size);
            for (int tab = 0; tab < tabs->count(); ++tab) {
                tabs->setCurrentIndex(tab);
                QCoreApplication::processEvents();
                QWidget *page = tabs->widget(tab);
                for (QWidget *control : page->findChildren<QWidget *>()) {
                    if (!control->isVisible() || control->parentWidget()->inherits("QComboBox") ||
                        control->parentWidget()->inherits("QAbstractScrollArea") ||
                        control->inherits("QScrollBar"))
                        continue;
                    const QString where = QString("%1 on tab %2 at %3x%4")
                                              .arg(control->objectName())
                                              .arg(tab)
                                              .arg(size.width())
                                              .arg(size.height());
                    QVERIFY2(control->parentWidget()->rect().contains(control->geometry()),
                             qPrintable(where + " is cut"));
                    const QSize needs = control->minimumSizeHint();
                    QVERIFY2(control->width() >= needs.width() &&
                                 control->height() >= needs.height(),
                             qPrintable(where + " is squeezed"));
                }
            }
        }
        for (const char *field : {"Text1", "Text7", "Text22", "Text26"})
            QVERIFY2(f.control<QWidget>(field)->width() > 400, field);
    }

    // Each date list opens at the value it shows, whether set from the clock ("05"), from a
    // record or by a recorded calibration.
    void date_lists_open_at_the_shown_value_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown"); // day/month/year of both dates
        QTest::newRow("start") << "tab=2"
                               << "05/December/2026 05/December/2026";
        QTest::newRow("record") << "row=0"
                                << "14/April/2019 3/March/1999";
        QTest::newRow("added") << "row=0; Command1"
                               << "05/December/2026 05/December/2026";
    }
    void date_lists_open_at_the_shown_value()
    {
        QFETCH(QString, steps);
        WindowFixture f(
            {.products = file_of({with(
                 make_record(
                     {"DMM-014", "Bench multimeter", "AVAILABLE", "12", "3", "March", "1999"}),
                 {{purchase_day, "14"}, {purchase_month, "April"}, {purchase_year, "2019"}})})});
        f.run(steps);
        QStringList shown;
        for (const auto &date :
             {std::array{"Combo2", "Combo3", "Combo4"}, std::array{"Combo1", "Combo5", "Combo6"}}) {
            QStringList parts;
            for (const char *name : date) {
                auto *list = f.control<QComboBox>(name);
                parts << list->currentText();
                list->showPopup();
                const QModelIndex current = list->view()->currentIndex();
                bool number = false;
                const int value = list->currentText().toInt(&number);
                QCOMPARE(current.data().toString(),
                         number ? QString::number(value) : list->currentText());
                QVERIFY2(
                    list->view()->viewport()->rect().contains(list->view()->visualRect(current)),
                    name);
                list->hidePopup();
            }
            shown << parts.join('/');
        }
        QTEST(shown.join(' '), "shown");
    }

    // A change that leaves the form blank says in the status bar what it did, and the focus
    // goes where the next step begins. An empty register says how to begin.
    void a_change_says_what_it_did_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("news");
        QTest::addColumn<QString>("focus");
        const QString tabs = "qt_tabwidget_tabbar";
        // clang-format off
        QTest::newRow("added") << "Command1; Text1=N-1; Command4" << "Instrument N-1 added." << tabs;
        QTest::newRow("saved") << "row=0; double-click=0; Text2=Meter; Yes; Command4" << "Instrument DMM-014 saved." << tabs;
        QTest::newRow("deleted") << "row=0; Yes; Command3" << "1 instrument deleted." << "";
        QTest::newRow("calibrated") << "row=0; double-click=0; tab=3; Command9; Text26=ok; Yes; Command10"
                                    << "Calibration of DMM-014 on Saturday Dec 5 2026 recorded." << tabs;
        QTest::newRow("contact") << "tab=1; Combo7=!!Add New Contact to List; Text7=Acme; Command5"
                                 << "Contact Acme saved." << "Text7";
        // clang-format on
    }
    void a_change_says_what_it_did()
    {
        QFETCH(QString, steps);
        WindowFixture f({.products = file_of({make_record({"DMM-014", "Bench multimeter"})})});
        QCOMPARE(f.window->status().shown(), "");
        f.run(steps);
        QTEST(f.window->status().shown(), "news");
        QFETCH(QString, focus);
        if (!focus.isEmpty())
            QCOMPARE(f.window->focusWidget()->objectName(), focus);
    }

    void an_empty_register_says_how_to_begin()
    {
        WindowFixture f;
        QCOMPARE(f.window->status().shown(), empty_register_hint);
        f.run("Command1; Text1=N-1; Command4");
        f.window->statusBar()->clearMessage();
        QCOMPARE(f.window->status().shown(), "");
    }

    // With protection on, the reminders wait for the log-in, since they name instruments;
    // then they stand over the main window in file order, each down and right of the one
    // before, all of one width, and Escape closes the one in front.
    void reminders_follow_the_log_in()
    {
        WindowFixture f(
            {.products =
                 file_of({calibrated("LATE-1", "1", "December"),
                          calibrated("A-MUCH-LONGER-INSTRUMENT-NUMBER-OF-THE-LAB", "5", "December"),
                          calibrated("WEEK", "12", "December")}),
             .security = boss,
             .settings = {{"Pass/Word", "YES"}, {"Reminder/On", "1"}}});
        QTest::qWait(20);
        QVERIFY(open_windows("Reminder").isEmpty());
        f.run("Text2=Boss; Text1=Pw; Command1");
        QTRY_COMPARE(open_windows("Reminder").size(), 3);
        QWidgetList reminders = open_windows("Reminder");
        std::sort(reminders.begin(), reminders.end(),
                  [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
        QStringList order;
        for (QWidget *reminder : reminders) {
            order << reminder->findChild<QLabel *>("Label1")->text();
            QCOMPARE(reminder->width(), reminders.front()->width());
            QVERIFY(f.window->frameGeometry().contains(reminder->geometry().center()));
            if (reminder != reminders.front())
                QVERIFY(reminder->x() > reminders.front()->x());
        }
        QCOMPARE(order,
                 (QStringList{"LATE-1", "A-MUCH-LONGER-INSTRUMENT-NUMBER-OF-THE-LAB", "WEEK"}));
        QTRY_COMPARE(QApplication::activeWindow(), reminders.back());
        QTest::keyClick(reminders.back(), Qt::Key_Escape);
        QTRY_COMPARE(open_windows("Reminder").size(), 2);
    }

    // No window manager cuts a title: every message box and dialog is as wide as its title.
    void every_title_fits()
    {
        for (const char *title : {"Durnmoor Duplicate Record Alert", "Durnmoor Tool Removal Alert",
                                  "Calibration Contact Record Removal Alert"}) {
            const auto box = Messages::make_box(nullptr, {"Done.",
                                                          title,
                                                          QMessageBox::Question,
                                                          QMessageBox::Yes | QMessageBox::No,
                                                          QMessageBox::No,
                                                          {}});
            box->adjustSize();
            QVERIFY2(box->width() >= title_width(title), title);
        }
        WindowFixture f({.security = boss, .settings = {{"Pass/Word", "YES"}}});
        const auto fits = [](const char *name) {
            const QWidgetList open = open_windows(name);
            return open.size() == 1 && open[0]->width() >= title_width(open[0]->windowTitle());
        };
        QVERIFY(fits("SettingsPro"));
        f.run("Text2=Boss; Text1=Pw; Command1; printlisted");
        QVERIFY(fits("printit"));
        f.run("close; passwordproena");
        QVERIFY(fits("password"));
    }
};

QTEST_MAIN(WindowLookTest)
#include "tst_window_look.moc"
