#pragma once

#include "access/login_throttle.h"
#include "app/app_state.h"
#include "app/workspace.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

namespace Ui {
class MAIN;
}

namespace durnmoor {

class AboutWindow;
class AccountDialog;
class LoginDialog;
class PrintDialog;
class TrayIcon;
class WindowLock;

// MAIN: the one main window. It composes the four tabs, keeps the menus, the caption and the
// window states, and wires what one tab does to the routines that act on the others.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    AppState &state() { return state_; }
    TrayIcon &tray() { return *tray_; }
    Workspace &workspace() { return workspace_; }
    const AppContext &context() const { return context_; }
    WindowLock &lock() { return *lock_; }

    // The load step of start-up after the splash is up: fill every list and lock the fields.
    // Reads what load_form lists, and the history the first instrument shown looks up,
    // silently: a file that cannot be read is left for the step that shows it to report.
    void prepare();
    void load_form();
    // The end of the load step: start rights from the protection setting, the due-date
    // reminder when it is on, the final lock.
    void apply_start_rights();

signals:
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void connect_menus();
    void connect_tabs();
    void install_context_menu();
    void quit_asked();
    void help_asked();
    // Whether a log-in would be asked for now: protection on and someone to log in (or an
    // accounts file that cannot be read, which keeps the window locked rather than open).
    bool login_needed();
    // Locks the window behind the log-in dialog when a log-in is needed; unlocks it when not.
    void ask_for_login();
    void login_attempted();
    void login_cancelled();
    // A log-in became pending: the dialogs that change data go.
    void close_data_dialogs();
    void open_account_dialog();
    void open_print_dialog();
    void open_about();

    std::unique_ptr<Ui::MAIN> ui;
    AppContext context_;
    AppState state_;
    std::unique_ptr<KeptFiles> kept_;
    Workspace workspace_;
    WindowLock *lock_ = nullptr;
    LoginThrottle throttle_;
    QPointer<LoginDialog> login_;
    QPointer<AccountDialog> accounts_;
    QPointer<AboutWindow> about_;
    QPointer<PrintDialog> print_;
    TrayIcon *tray_ = nullptr;
    bool shown_before_ = false;
};

} // namespace durnmoor
