#pragma once

#include "access/access_control.h"
#include "access/autostart.h"
#include "app/main_window.h"
#include "common/message_box.h"
#include "register/product_record.h"
#include "store/twin_file.h"
#include "support/test_env.h"

#include <QTest>
#include <QtWidgets>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace durnmoor::test {

// What the private directory holds when the window starts: the data files that are not
// empty, the settings given, then whatever prepare puts there.
struct StartWith {
    std::string products, history, contacts, security;
    QVariantMap settings;
    std::function<void(TestEnv &)> prepare;
    // Whether the fixture waits for the window's check of the audit trail, which runs apart
    // from it, and for what it tells.
    bool trail_checked = true;
};

// The main window over a private TestEnv, started as the program starts it (without the
// splash pause) and shown offscreen.
class WindowFixture {
public:
    explicit WindowFixture(const StartWith &start = {});
    ~WindowFixture();

    TestEnv env;
    // The session's start-up entry, kept in the private directory too.
    XdgAutostart autostart{env.path(QStringLiteral("autostart")),
                           QStringLiteral("/opt/my apps/durnmoor")};
    std::unique_ptr<MainWindow> window;

    // The open windows, the one a user acts on first: a dialog before the main window.
    QWidgetList windows() const;
    template <typename T> T *control(const char *name) const
    {
        for (QWidget *top : windows())
            if (T *found = top->findChild<T *>(QString::fromLatin1(name)))
                return found;
        return nullptr;
    }
    QListView *list() const { return control<QListView>("List1"); }
    // Every line of a list, or every entry of a list box, of the window, top to bottom.
    QStringList lines_of(const char *list = "List1") const;
    QString text_of(const char *box) const { return control<QLineEdit>(box)->text(); }
    // Which of the named controls are enabled, in the order given.
    QStringList enabled_among(std::initializer_list<const char *> names) const;

    // Runs what a user does, steps separated by "; ":
    //   Yes, No                     the answer to the next question
    //   row=N, ctrl-row=N           a click on row N of List1 (ctrl adds or removes it)
    //   double-click=N              a double-click on row N of List1
    //   history row=N, history double-click=N, history ctrl-row=N   the same on List2
    //   tab=N                       a click on tab N
    //   X=text                      text typed over the whole of box X (Return for "\n")
    //   paste X=text                box X given the text at once, as a paste would
    //   type X=text                 text typed into the box of list box X
    //   ComboN=text                 an entry picked from a list box
    //   Return, Escape              a press of that key where the focus is
    //   close                       the window in front closed by its close control
    //   block F                     a folder put where file F goes, so it cannot be written
    //   unreadable F                every later read of data file F fails as if refused
    //   disabled X                  button or menu item X there and disabled; nothing done
    //   any other name              a click on that button, option or tick box, or a choice
    //                               of that menu item
    // Fails the test, and runs no further step, on a step it does not know, a control that is
    // not there, a click on a disabled button or menu item, or a list entry that cannot be
    // picked: a user could do none of these.
    void run(const QString &steps);

    std::string products() const { return env.read_file(QStringLiteral("products.dat")); }
    // The form at a glance: the tab in front, Text1|Text2|, then each named control that is
    // enabled ("details: N-9|Probe| Text1 Command4").
    QString form(std::initializer_list<const char *> controls) const;
    std::string history() const { return env.read_file(QStringLiteral("history.dat")); }
};

// A record with the given fields and every other line empty (the reserved lines too).
struct RecordFields {
    std::string number;
    std::string description;
    std::string availability = "AVAILABLE";
    std::string interval = " 12 ";
    std::string day = "5", month = "December", year = "2026";
    std::string mode = "EXTERNAL";
    std::string cost;
};
product_record make_record(const RecordFields &fields);
// The record with the given lines replaced: with(record, {{30, "note"}}).
product_record with(product_record record, std::initializer_list<std::pair<int, std::string>> set);
std::string file_of(const std::vector<product_record> &records);

// Every message box recorded so far, one line each: icon, title, text, buttons and default.
QStringList shown_messages();

// The visible top-level windows with this object name ("SettingsPro" for the log-in), once
// the windows closed for good are deleted, as the event loop would delete them.
QWidgetList open_windows(const char *name);

} // namespace durnmoor::test
