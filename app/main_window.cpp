#include "app/main_window.h"

#include "about/about_window.h"
#include "access/access_control.h"
#include "access/account_dialog.h"
#include "access/accounts_file.h"
#include "access/login_dialog.h"
#include "access/settings_store.h"
#include "app/context_menu.h"
#include "app/status_line.h"
#include "app/tray_icon.h"
#include "app/window_lock.h"
#include "audit/audit_trail.h"
#include "backup/session_backup.h"
#include "calibration/calibration_log.h"
#include "calibration/history_file.h"
#include "calibration/history_tab.h"
#include "calibration/start_reminder.h"
#include "common/app_info.h"
#include "common/file_rewrite.h"
#include "common/locked_look.h"
#include "common/message_box.h"
#include "common/open_file_chooser.h"
#include "common/shell.h"
#include "contacts/address_book.h"
#include "contacts/address_book_tab.h"
#include "contacts/contacts_file.h"
#include "register/details_tab.h"
#include "register/instrument_register.h"
#include "register/listing_tab.h"
#include "register/products_file.h"
#include "report/print_dialog.h"
#include "restore/backup_restore.h"
#include "restore/restore_dialog.h"
#include "sheets/import_window.h"
#include "sheets/listed_export.h"
#include "store/clock.h"
#include "trail/trail_window.h"
#include "ui_main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTimer>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

namespace durnmoor {

namespace {

constexpr char quit_question[] = "Are you sure you want to Quit Durnmoor?";
constexpr char quit_title[] = "Durnmoor Quit Program Alert";

// Labels that keep the ordinary behaviour of a right click.
const QStringList labels_without_file_menu = {QStringLiteral("Label4"), QStringLiteral("Label31")};
// Controls inside frames that have the menu, which must not hand a right click on to them.
const char *const controls_without_file_menu[] = {"Label4",  "Label31", "Option1", "Option2",
                                                  "Option7", "Option3", "Option4"};

template <typename Tab> Tab *add_tab(QTabWidget *tabs, const char *caption, Tab *tab)
{
    tabs->addTab(tab, QString::fromLatin1(caption));
    return tab;
}

// A dialog that is a window of its own stays above the main window all the same: the
// window manager keeps a transient window over the window it belongs to.
void keep_over(QWidget *dialog, QWidget *window)
{
    dialog->winId();
    window->winId();
    if (QWindow *handle = dialog->windowHandle())
        handle->setTransientParent(window->windowHandle());
}

} // namespace

MainWindow::MainWindow(const AppContext &context, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MAIN>()), context_(context),
      caption_(build_caption_text()), access_(new AccessControl(context, this)),
      instruments_(new InstrumentRegister(context.app_path, this, *access_, this)),
      calibrations_(new CalibrationLog(context.app_path, this, *instruments_, this)),
      address_book_(new AddressBook(context.app_path, this, this)), throttle_(new_login_throttle())
{
    ui->setupUi(this);
    fit_to_screen();
    trail_ = std::make_unique<AuditTrail>(context.app_path);
    FileRewrite::set_recorder({trail_.get(), [access = access_] { return access->trail_user(); }});
    prune_backups();
    backup_ = std::make_unique<SessionBackup>(context.app_path, backed_up_files());
    FileRewrite::set_session_backup(backup_.get());
    lock_ = new WindowLock(this);
    status_ = new StatusLine(ui->statusbar);
    connect(lock_, &WindowLock::locked, this, &MainWindow::close_data_dialogs);
    QTabWidget *tabs = ui->SSTab1;
    listing_ = add_tab(tabs, "Product Listing", new ListingTab(*instruments_, tabs));
    address_book_tab_ =
        add_tab(tabs, "Address Book", new AddressBookTab(*address_book_, *access_, tabs));
    details_ = add_tab(tabs, "Product Details", new DetailsTab(*instruments_, tabs));
    history_ = add_tab(tabs, "Product Calibration History", new HistoryTab(*calibrations_, tabs));
    instruments_->attach(listing_, details_);
    give_locked_look(tabs);

    setWindowTitle(caption_);
    tray_ = new TrayIcon(this, caption_);

    connect_menus();
    connect_tabs();
    install_context_menu();
}

// The dialogs are windows of their own, not children: they go with the main window.
MainWindow::~MainWindow()
{
    trail_check_.waitForFinished(); // it uses the trail
    FileRewrite::set_recorder({});
    FileRewrite::set_session_backup(nullptr);
    delete restore_;
    delete import_;
    delete login_;
    delete accounts_;
    delete about_;
    delete trail_window_;
}

void MainWindow::prepare()
{
    instruments_->prepare();
    calibrations_->prepare();
}

void MainWindow::fill_form()
{
    listing_->clear_entries();
    history_->lock_result();
    history_->set_update_enabled(false);
    history_->set_now_calibrated_enabled(false);

    QApplication::processEvents();
    instruments_->close_entry();
    QApplication::processEvents();
    instruments_->reload();
    QApplication::processEvents();
    details_->fill_dates(today());
    QApplication::processEvents();
    address_book_tab_->reload();
    QApplication::processEvents();
    check_trail();
    show_caption(caption_);
}

void MainWindow::check_trail()
{
    const std::vector<DataFilePlace> files{
        products_file(context_.app_path), history_file(context_.app_path),
        contacts_file(context_.app_path), accounts_file(context_.app_path)};
    trail_check_ =
        QtConcurrent::run(check_trail_at_start, std::ref(*trail_), access_->trail_user(), files);
    FileRewrite::set_start_check(trail_check_);
    auto *watcher = new QFutureWatcher<TrailCheck>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        tell_trail_check();
        watcher->deleteLater();
    });
    watcher->setFuture(trail_check_);
}

void MainWindow::wait_for_trail_check()
{
    trail_check_.waitForFinished();
    tell_trail_check();
}

void MainWindow::tell_trail_check()
{
    if (!trail_check_.isResultReadyAt(0) || std::exchange(trail_check_told_, true))
        return;
    const TrailCheck check = trail_check_.result();
    if (!check.problem.isEmpty())
        Messages::notify(this,
                         QStringLiteral("%1 could not be read.\n%1: %2\nNo change can be made "
                                        "until it can be read again.")
                             .arg(QLatin1String(audit_log_name), check.problem),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
    else if (!check.break_message.isEmpty())
        Messages::notify(this, check.break_message, QString::fromLatin1(app_title),
                         QMessageBox::Warning);
}

void MainWindow::apply_start_rights()
{
    access_->start_rights();
    // Without the edit right nothing can be added or removed, from the start: with
    // protection on and nobody to log in the window is usable, but only for looking.
    if (!access_->may_edit())
        instruments_->apply_edit_right();
    // The check runs now; its windows wait for the main window to show, and for the log-in
    // when one is asked: they name instruments.
    if (reminder_on(context_.settings))
        reminders_ = check_due_reminders(*instruments_);
    instruments_->close_entry();
}

void MainWindow::show_caption(const QString &caption)
{
    setWindowTitle(caption);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shown_before_)
        return;
    shown_before_ = true;
    if (!(windowState() & Qt::WindowMinimized))
        ask_for_login();
    else if (login_needed())
        lock_->set_login_pending(true);
    // Once the window is placed, so that the reminders can stand over it.
    QTimer::singleShot(0, this, &MainWindow::show_reminders);
}

void MainWindow::show_reminders()
{
    if (reminders_.empty() || lock_->login_pending())
        return;
    show_due_reminders(this, std::exchange(reminders_, {}));
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // The locked window never keeps the focus from the log-in: brought to the front (by a
    // click on it, by the task bar, by coming back), it hands the front to the dialog.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && login_ &&
        login_->isVisible())
        QTimer::singleShot(0, login_, [dialog = login_] { dialog->take_focus_back(); });
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (windowState() & Qt::WindowMinimized) {
        // Locked on the way out, so that every way back (normal or maximised, task bar,
        // notification area, keyboard) finds the window waiting for a log-in.
        if (login_needed())
            lock_->set_login_pending(true);
        // Minimised, the window runs on in the background with only its icon to show for
        // it; on a desktop without a notification area it stays in the task bar to be
        // reachable.
        if (tray_->shown())
            QTimer::singleShot(0, this, [this] {
                if (windowState() & Qt::WindowMinimized)
                    hide();
            });
        return;
    }
    const auto old = static_cast<QWindowStateChangeEvent *>(event)->oldState();
    // Back from the minimised state: whoever comes back logs in again.
    if (old & Qt::WindowMinimized)
        ask_for_login();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        if (login_)
            login_->deleteLater();
        if (accounts_)
            accounts_->close();
        if (about_)
            about_->close();
        tray_->icon().hide(); // the icon goes at once, not when the process ends
        emit closed();
    }
}

void MainWindow::fit_to_screen()
{
    // The form's size where the screen has room for it; on a small or scaled screen, what
    // the screen has less the window's frame, which the window manager adds around it.
    if (const QScreen *shown_on = screen()) {
        const QSize frame(16, 48);
        resize(size().boundedTo(shown_on->availableGeometry().size() - frame));
    }
}

bool MainWindow::login_needed()
{
    return protection_on(context_.settings) && access_->accounts_to_log_in();
}

void MainWindow::ask_for_login()
{
    if (!login_needed()) {
        // Nobody to log in (or protection off): the window stays usable as it was.
        lock_->set_login_pending(false);
        return;
    }
    lock_->set_login_pending(true);
    if (!login_) {
        // Not a child: the main window is disabled while it waits, and so would its children be.
        login_ = new LoginDialog;
        login_->setAttribute(Qt::WA_DeleteOnClose);
        login_->setWindowIcon(windowIcon());
        connect(login_, &LoginDialog::attempted, this, &MainWindow::login_attempted);
        connect(login_, &LoginDialog::cancelled, this, &MainWindow::login_cancelled);
        keep_on_top(login_, true);
        // A new dialog does not start the waits after failed attempts over again.
        login_->hold_off(throttle_.remaining(LoginThrottle::clock::now()));
    }
    login_->show();
    keep_over(login_, this);
    login_->raise();
    login_->activateWindow();
}

void MainWindow::login_attempted()
{
    keep_on_top(login_, false);
    keep_over(login_, this);
    if (!access_->log_in(login_, login_->user_name(), login_->password())) {
        throttle_.failed(LoginThrottle::clock::now());
        if (login_) {
            login_->hold_off(throttle_.wait());
            login_->take_focus_back();
        }
        return;
    }
    throttle_.succeeded();
    // Only the exact text "0" hides the item; the account dialog writes " 0 ", which leaves
    // it to the opened entry to disable.
    if (access_->right(1) == QLatin1String("0")) {
        ui->passwordproena->setEnabled(false);
        ui->passwordproena->setVisible(false);
    }
    lock_->set_login_pending(false);
    instruments_->open_entry();
    login_->hide();
    login_->deleteLater();
    show_reminders();
}

void MainWindow::login_cancelled()
{
    // The log-in stays pending: the window goes back to the background as locked as it was.
    login_->hide();
    login_->deleteLater();
    showMinimized();
}

void MainWindow::close_data_dialogs()
{
    if (accounts_)
        accounts_->close();
    if (print_)
        print_->close();
    if (trail_window_)
        trail_window_->close(); // it shows who changed what: not for whoever comes to the desk
    if (restore_)
        restore_->close();
    if (import_)
        import_->close();
}

void MainWindow::prune_backups()
{
    prune_backup_sets(context_.app_path, now_utc().toLocalTime(), backup_days(context_.settings),
                      backup_keep(context_.settings));
}

void MainWindow::open_restore_dialog()
{
    // The menu item is disabled without the right; a restore changes every data file, so
    // the right is asked here too.
    if (lock_->login_pending() || !access_->may_edit())
        return;
    if (!restore_) {
        restore_ = new RestoreDialog(context_.app_path, *backup_, [this] {
            return !lock_->login_pending() && access_->may_edit();
        });
        restore_->setAttribute(Qt::WA_DeleteOnClose);
        restore_->setWindowIcon(windowIcon());
        connect(restore_, &RestoreDialog::restored, this, &MainWindow::restored);
    }
    restore_->refresh();
    restore_->show();
    restore_->raise();
    restore_->activateWindow();
}

void MainWindow::restored()
{
    instruments_->list_all();
    address_book_tab_->reload();
}

void MainWindow::open_import_window()
{
    // The menu item is disabled without the right; an import changes the register, so the
    // right is asked here too.
    if (lock_->login_pending() || !access_->may_edit())
        return;
    const QString path =
        choose_open_file(this, {QString::fromLatin1(import_caption), QDir::homePath(),
                                QString::fromLatin1(import_filter)});
    if (path.isEmpty())
        return;
    if (import_)
        import_->close();
    auto *window = new ImportWindow(
        *instruments_, [this] { return !lock_->login_pending() && access_->may_edit(); });
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    if (!window->open(path)) {
        delete window;
        return;
    }
    connect(window, &ImportWindow::imported, instruments_, &InstrumentRegister::list_all);
    import_ = window;
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::open_trail_window()
{
    if (lock_->login_pending())
        return;
    if (!trail_window_) {
        trail_window_ = new TrailWindow(context_.app_path);
        trail_window_->setAttribute(Qt::WA_DeleteOnClose); // its index goes with it
        trail_window_->setWindowIcon(windowIcon());
    }
    trail_window_->refresh();
    trail_window_->show();
    trail_window_->raise();
    trail_window_->activateWindow();
}

void MainWindow::open_about()
{
    if (!about_) {
        about_ = new AboutWindow;
        about_->setWindowIcon(windowIcon());
        connect(about_, &AboutWindow::closed, this, [this] {
            about_.clear(); // the next opening starts afresh
        });
        lock_->hold_for(about_);
    }
    about_->place_over(this);
    about_->show();
}

void MainWindow::open_print_dialog()
{
    if (lock_->login_pending())
        return;
    if (print_) {
        print_->raise();
        print_->activateWindow();
        return;
    }
    print_ = durnmoor::open_print_dialog(this, *instruments_);
    lock_->hold_for(print_);
}

void MainWindow::open_account_dialog()
{
    // Options and accounts change nothing while the window waits for a log-in.
    if (lock_->login_pending())
        return;
    if (!accounts_) {
        accounts_ = new AccountDialog(*access_);
        accounts_->setWindowIcon(windowIcon());
        connect(accounts_, &AccountDialog::closed, this, [this] { accounts_.clear(); });
    }
    accounts_->show();
    accounts_->raise();
    accounts_->activateWindow();
}

void MainWindow::connect_menus()
{
    InstrumentRegister *r = instruments_;
    connect(ui->fulllist, &QAction::triggered, r, &InstrumentRegister::list_all);
    connect(ui->listava, &QAction::triggered, r, [r] { r->list_filtered(ListFilter::available); });
    connect(ui->listobsol, &QAction::triggered, r, [r] { r->list_filtered(ListFilter::obsolete); });
    connect(ui->printlisted, &QAction::triggered, this, &MainWindow::open_print_dialog);
    connect(ui->exportlisted, &QAction::triggered, this, [this] {
        if (!lock_->login_pending())
            export_listed_items(this, *instruments_, context_.app_path);
    });
    connect(ui->helpme, &QAction::triggered, this, &MainWindow::help_asked);
    connect(ui->passwordproena, &QAction::triggered, this, &MainWindow::open_account_dialog);
    connect(ui->aboutit, &QAction::triggered, this, &MainWindow::open_about);
    connect(ui->audittrail, &QAction::triggered, this, &MainWindow::open_trail_window);
    connect(ui->restorebackup, &QAction::triggered, this, &MainWindow::open_restore_dialog);
    connect(ui->importinstruments, &QAction::triggered, this, &MainWindow::open_import_window);
    connect(ui->quit, &QAction::triggered, this, &MainWindow::quit_asked);
}

// What one part says that another shows; the tabs follow their own controllers themselves.
void MainWindow::connect_tabs()
{
    InstrumentRegister *r = instruments_;
    connect(r, &InstrumentRegister::working, this, &MainWindow::show_caption);
    connect(r, &InstrumentRegister::idle, this, [this] { show_caption(caption_); });
    connect(calibrations_, &CalibrationLog::working, this, &MainWindow::show_caption);
    connect(calibrations_, &CalibrationLog::idle, this, [this] { show_caption(caption_); });
    connect(r, &InstrumentRegister::listing_wanted, this,
            [this] { ui->SSTab1->setCurrentIndex(tab_listing); });
    connect(r, &InstrumentRegister::details_wanted, this,
            [this] { ui->SSTab1->setCurrentIndex(tab_details); });

    connect(r, &InstrumentRegister::edit_right_applied, address_book_tab_,
            &AddressBookTab::set_record_buttons);
    connect(r, &InstrumentRegister::edit_right_applied, ui->restorebackup, &QAction::setEnabled);
    connect(r, &InstrumentRegister::edit_right_applied, ui->importinstruments,
            &QAction::setEnabled);
    connect(r, &InstrumentRegister::entry_opened, this,
            [this] { ui->passwordproena->setEnabled(access_->may_maintain_accounts()); });
    connect(address_book_, &AddressBook::entry_close_asked, r, &InstrumentRegister::close_entry);
    connect(address_book_, &AddressBook::entry_open_asked, r, &InstrumentRegister::open_entry);

    connect(listing_, &ListingTab::horizon_chosen, calibrations_, &CalibrationLog::list_due);
    connect(details_, &DetailsTab::due_date_shown, listing_, &ListingTab::show_due_tip);
    connect(details_, &DetailsTab::number_typed, history_, &HistoryTab::show_number);
    connect(details_, &DetailsTab::company_entered, this, [this] {
        if (const auto name = address_book_->completed(details_->company_text()))
            details_->show_company(*name);
    });
    connect(calibrations_, &CalibrationLog::calibrated, details_,
            [this](QDate day) { details_->set_last_calibrated(day); });

    // Each change says what it did; a save or an update leaves the form blank, so the focus
    // goes to the tabs, one key from the listing where the next instrument is picked.
    const auto tell = [this](const QString &news) { status_->tell(news); };
    connect(r, &InstrumentRegister::done, this, tell);
    connect(calibrations_, &CalibrationLog::done, this, tell);
    connect(address_book_, &AddressBook::done, this, tell);
    connect(access_, &AccessControl::done, this, tell);
    connect(r, &InstrumentRegister::entry_ended, this, [this] {
        if (ui->SSTab1->currentIndex() == tab_details)
            ui->SSTab1->tabBar()->setFocus();
    });
    connect(calibrations_, &CalibrationLog::calibrated, this,
            [this] { ui->SSTab1->tabBar()->setFocus(); });
    connect(r, &InstrumentRegister::listed, this,
            [this](const std::shared_ptr<const ProductsData> &data) {
                status_->set_register_empty(data->size() == 0);
            });
}

void MainWindow::quit_asked()
{
    if (Messages::confirm(this, QString::fromLatin1(quit_question), QString::fromLatin1(quit_title),
                          QMessageBox::Question))
        close();
}

void MainWindow::help_asked()
{
    open_user_guide(this, context_.app_path, QCoreApplication::applicationDirPath());
}

void MainWindow::install_context_menu()
{
    QList<QWidget *> targets{ui->SSTab1->tabBar()};
    if (auto *list = findChild<QAbstractItemView *>(QStringLiteral("List1")))
        targets << list->viewport();
    for (auto *button :
         findChildren<QPushButton *>(QRegularExpression(QStringLiteral("^Command\\d+$"))))
        targets << button;
    for (const char *name :
         {"Option5", "Option6", "Option8", "Option9", "Option10", "Option11", "Option12"})
        targets << findChild<QRadioButton *>(QString::fromLatin1(name));
    for (const char *name : {"Frame1", "Frame2", "Frame5", "Frame6", "Frame7"})
        targets << findChild<QGroupBox *>(QString::fromLatin1(name));
    for (auto *label : findChildren<QLabel *>())
        if (!labels_without_file_menu.contains(label->objectName()))
            targets << label;
    auto *filter = new ContextMenuFilter(ui->fi, this);
    for (QWidget *target : targets)
        if (target)
            target->installEventFilter(filter);

    auto *stop = new ContextMenuFilter(nullptr, this);
    for (const char *name : controls_without_file_menu)
        if (auto *control = findChild<QWidget *>(QString::fromLatin1(name)))
            control->installEventFilter(stop);
    if (auto *dates = findChild<QAbstractItemView *>(QStringLiteral("List2")))
        dates->viewport()->installEventFilter(stop);
}

} // namespace durnmoor
