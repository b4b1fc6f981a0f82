#pragma once

#include "app/main_window.h"
#include "register/product_record.h"
#include "support/test_env.h"

#include <QListWidget>
#include <QTest>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace durnmoor::test {

// The main window over a private TestEnv, started as the program starts it (without the
// splash pause) and shown offscreen.
class WindowFixture {
public:
    // Files to put in place before the window starts, then the window itself.
    explicit WindowFixture(const std::string &products = {}, const std::string &history = {});
    ~WindowFixture();

    TestEnv env;
    std::unique_ptr<QSettings> settings_holder;
    std::unique_ptr<MainWindow> window;

    template <typename T> T *control(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    QListWidget *list() const { return control<QListWidget>("List1"); }
    QStringList list_lines() const;

    // Selects exactly these rows of List1 as a user's clicks would (plain, then ctrl).
    void click_rows(const std::vector<int> &rows);
    void click_text(const QString &text);
    void double_click_row(int row);
    // Clicks a button where a user would; an option button on its mark.
    void click_button(const char *name);
    void trigger(const char *action);

    // Brings a tab of SSTab1 to the front by clicking its caption.
    void show_tab(int index);
    // Clicks a row of any list of the window, with modifiers (ctrl to deselect).
    void click_list_row(const char *list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void double_click_list_row(const char *list, int row);
    // Every line of any list of the window, top to bottom.
    QStringList lines_of(const char *list) const;
    // Replaces the whole text of a plain text box by typing it; "\n" is a press of Return.
    void type_text(const char *box, const QString &text);
    // Types over the whole text of a line edit, as a user who selected it all first.
    void type_over(const char *box, const QString &text);
    QString text_of(const char *box) const;
    // Which of the named controls are enabled, in the order given.
    QStringList enabled_among(std::initializer_list<const char *> names) const;
    int current_tab() const;
    // Picks an entry of a combo box as the box reports a user's pick. False when the box is
    // disabled or has no such entry.
    bool pick(const char *combo, const QString &text);

    std::string products() const { return env.read_file(QStringLiteral("products.dat")); }
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
std::string file_of(const std::vector<product_record> &records);

// Every message box recorded so far, one line each: icon, title, text, buttons and default.
QStringList shown_messages();

// Lines with their CR kept, so that a missing CR still shows in a failure.
QList<QByteArray> file_lines(const std::string &bytes);
// Two files compared line by line for a readable failure, then byte for byte.
#define COMPARE_FILE(actual, expected)                                                             \
    do {                                                                                           \
        QCOMPARE(durnmoor::test::file_lines(actual), durnmoor::test::file_lines(expected));        \
        QCOMPARE(QByteArray::fromStdString(actual), QByteArray::fromStdString(expected));          \
    } while (false)

} // namespace durnmoor::test
