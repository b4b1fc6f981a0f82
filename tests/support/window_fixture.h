#pragma once

#include "app/main_window.h"
#include "register/product_record.h"
#include "support/test_env.h"

#include <QListWidget>

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
    void click_button(const char *name);
    void trigger(const char *action);

    // Brings a tab of SSTab1 to the front by clicking its caption.
    void show_tab(int index);
    // Clicks an option button on its indicator, where a user's click always lands.
    void click_option(const char *name);
    // Clicks a row of any list of the window, with modifiers (ctrl to deselect).
    void click_list_row(const char *list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void double_click_list_row(const char *list, int row);
    // Every line of any list of the window, top to bottom.
    QStringList lines_of(const char *list) const;

    std::string products() const { return env.read_file(QStringLiteral("products.dat")); }
    std::string history() const { return env.read_file(QStringLiteral("history.dat")); }
};

// A record with the given fields and every other line empty (the reserved lines too).
struct RecordSpec {
    std::string number;
    std::string description;
    std::string availability = "AVAILABLE";
    std::string interval = " 12 ";
    std::string day = "5", month = "December", year = "2026";
    std::string mode = "EXTERNAL";
    std::string cost;
};
product_record make_record(const RecordSpec &spec);
std::string file_of(const std::vector<product_record> &records);

} // namespace durnmoor::test
