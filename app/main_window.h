#pragma once

#include "access/login_throttle.h"
#include "audit/trail_check.h"
#include "common/app_context.h"

#include "calibration/reminders.h"

#include <QMainWindow>

#include <QFuture>
#include <QPointer>

#include <memory>

namespace Ui {
class MAIN;
}

namespace durnmoor {

class AboutWindow;
class AccessControl;
class AccountDialog;
class AddressBook;
class AddressBookTab;
class CalibrationLog;
class ImportWindow;
class DetailsTab;
class HistoryTab;
class InstrumentRegister;
class StatusLine;
class AuditTrail;
class ListingTab;
class LoginDialog;
class PrintDialog;
class RestoreDialog;
class SessionBackup;
class TrailWindow;
class TrayIcon;
class WindowLock;

// The tab indexes of SSTab1.
enum MainTab { tab_listing = 0, tab_address_book = 1, tab_details = 2, tab_history = 3 };

// MAIN: the one main window. It composes the four tabs and the controllers they show, wires
// what one says to what another shows, and keeps the menus, the caption and the window
// states.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    AccessControl &access() { return *access_; }
    InstrumentRegister &instruments() { return *instruments_; }
    const QString &caption() const { return caption_; }
    TrayIcon &tray() { return *tray_; }
    const StatusLine &status() const { return *status_; }
    const AppContext &context() const { return context_; }
    WindowLock &lock() { return *lock_; }

    // The load step of start-up after the splash is up: fill every list and lock the fields.
    // Reads what fill_form lists, and the history the first instrument shown looks up,
    // silently: a file that cannot be read is left for the step that shows it to report.
    void prepare();
    void fill_form();
    // The end of the load step: start rights from the protection setting, the due-date
    // reminder when it is on, the final lock.
    void apply_start_rights();
    // Waits for the check of the audit trail that fill_form started to end, and tells what
    // it found, as the window does by itself when the check ends.
    void wait_for_trail_check();

signals:
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void connect_menus();
    void connect_tabs();
    // Puts the normal caption back, or shows a working one, and lets the window repaint.
    void show_caption(const QString &caption);
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
    void open_trail_window();
    // File › Restore from Backup…, for a user with the edit right.
    void open_restore_dialog();
    void restored();
    // File › Import Instruments…, for a user with the edit right: a CSV file chosen and its
    // preview opened.
    void open_import_window();
    // At start: what a killed backup left, and the sets past keeping, are removed.
    void prune_backups();
    void show_reminders();
    // The audit trail at start: a chain broken by hand is told once, and a data file that
    // changed since the trail's last entry for it gets an entry saying so. Reading and
    // hashing a large register takes longer than the window may make the user wait, so the
    // check runs on a thread of its own; the rewrites wait for it before they record.
    void check_trail();
    // Once the check has ended: what the user is told of it, once.
    void tell_trail_check();
    void fit_to_screen();

    std::unique_ptr<Ui::MAIN> ui;
    AppContext context_;
    QString caption_;
    AccessControl *access_;
    InstrumentRegister *instruments_;
    CalibrationLog *calibrations_;
    AddressBook *address_book_;
    ListingTab *listing_;
    AddressBookTab *address_book_tab_;
    DetailsTab *details_;
    HistoryTab *history_;
    WindowLock *lock_ = nullptr;
    StatusLine *status_ = nullptr;
    std::unique_ptr<AuditTrail> trail_;
    QFuture<TrailCheck> trail_check_;
    bool trail_check_told_ = false;
    std::unique_ptr<SessionBackup> backup_;
    LoginThrottle throttle_;
    QPointer<LoginDialog> login_;
    QPointer<AccountDialog> accounts_;
    QPointer<AboutWindow> about_;
    QPointer<PrintDialog> print_;
    QPointer<TrailWindow> trail_window_;
    QPointer<RestoreDialog> restore_;
    QPointer<ImportWindow> import_;
    TrayIcon *tray_ = nullptr;
    bool shown_before_ = false;
    std::vector<DueReminder> reminders_; // checked at start, shown when they may be seen
};

} // namespace durnmoor
