#include "app/main_window.h"

#include "app/kept_files.h"

#include "about/about_window.h"
#include "access/account_dialog.h"
#include "access/log_in.h"
#include "access/login_dialog.h"
#include "access/settings_store.h"
#include "common/app_info.h"
#include "app/context_menu.h"
#include "store/data_folder.h"
#include "common/message_box.h"
#include "common/shell.h"
#include "app/tray_icon.h"
#include "app/window_lock.h"
#include "calibration/calibration_history.h"
#include "calibration/due_date_view.h"
#include "calibration/due_listing.h"
#include "calibration/history_tab.h"
#include "calibration/start_reminder.h"
#include "contacts/address_book.h"
#include "contacts/address_book_tab.h"
#include "register/details_tab.h"
#include "register/editing.h"
#include "register/entry_area.h"
#include "register/instrument_list.h"
#include "register/listing_tab.h"
#include "register/search.h"
#include "report/print_dialog.h"
#include "ui_main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

namespace durnmoor {

namespace {

constexpr char quit_question[] = "Are you sure you want to Quit Durnmoor?";
constexpr char quit_title[] = "Durnmoor Quit Program Alert";

// Labels that keep the ordinary behaviour of a right click.
const QStringList labels_without_file_menu = {QStringLiteral("Label4"), QStringLiteral("Label31")};
// Controls inside frames that have the menu, which must not hand a right click on to them.
const char *const controls_without_file_menu[] = {"Label4",  "Label31", "Option1", "Option2",
                                                  "Option7", "Option3", "Option4"};

template <typename Tab> Tab *add_tab(QTabWidget *tabs, const char *caption)
{
    auto *tab = new Tab(tabs);
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
      kept_(std::make_unique<KeptFiles>()), workspace_{state_,  this,    nullptr, nullptr, nullptr,
                                                       nullptr, nullptr, nullptr, *kept_},
      throttle_(new_login_throttle())
{
    ui->setupUi(this);
    lock_ = new WindowLock(this);
    connect(lock_, &WindowLock::locked, this, &MainWindow::close_data_dialogs);
    workspace_.tabs = ui->SSTab1;
    workspace_.account_maintenance = ui->passwordproena;
    workspace_.listing = add_tab<ListingTab>(ui->SSTab1, "Product Listing");
    workspace_.address_book = add_tab<AddressBookTab>(ui->SSTab1, "Address Book");
    workspace_.details = add_tab<DetailsTab>(ui->SSTab1, "Product Details");
    workspace_.history = add_tab<HistoryTab>(ui->SSTab1, "Product Calibration History");

    state_.app_path = context.app_path;
    state_.caption_text = build_caption_text();
    setWindowTitle(state_.caption_text);
    tray_ = new TrayIcon(this, state_.caption_text);

    connect_menus();
    connect_tabs();
    install_context_menu();
}

// The dialogs are windows of their own, not children: they go with the main window.
MainWindow::~MainWindow()
{
    delete login_;
    delete accounts_;
    delete about_;
}

void MainWindow::prepare()
{
    prepare_listing(workspace_);
    prepare_history(workspace_);
}

void MainWindow::load_form()
{
    Workspace &w = workspace_;
    w.listing->clear_entries();
    w.history->lock_result();
    w.history->set_update_enabled(false);
    w.history->set_now_calibrated_enabled(false);

    QApplication::processEvents();
    disableform(w);
    QApplication::processEvents();
    load_up(w);
    QApplication::processEvents();
    dates(w);
    QApplication::processEvents();
    clear_contacts(w);
    load_contacts(w);
    disable_contacts(w);
    QApplication::processEvents();
    change_caption(w);
}

void MainWindow::apply_start_rights()
{
    state_.user_rights = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")};
    if (protection_off(context_.settings))
        state_.set_right(3, QStringLiteral("1")); // no protection: everybody may edit
    // Without the edit right nothing can be added or removed, from the start: with
    // protection on and nobody to log in the window is usable, but only for looking.
    if (!state_.may_edit())
        apply_edit_right(workspace_);
    if (reminder_on(context_.settings))
        check_calibration(workspace_, context_.settings);
    disableform(workspace_);
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

bool MainWindow::login_needed()
{
    return protection_on(context_.settings) && accounts_to_log_in(workspace_);
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
        SetTopMost(login_, true);
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
    SetTopMost(login_, false);
    keep_over(login_, this);
    if (!attempt_access(workspace_, login_, login_->user_name(), login_->password())) {
        throttle_.failed(LoginThrottle::clock::now());
        if (login_) {
            login_->hold_off(throttle_.wait());
            login_->take_focus_back();
        }
        return;
    }
    throttle_.succeeded();
    lock_->set_login_pending(false);
    enableform(workspace_);
    login_->hide();
    login_->deleteLater();
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
    print_ = durnmoor::open_print_dialog(workspace_);
    lock_->hold_for(print_);
}

void MainWindow::open_account_dialog()
{
    // Options and accounts change nothing while the window waits for a log-in.
    if (lock_->login_pending())
        return;
    if (!accounts_) {
        accounts_ = new AccountDialog(context_, state_);
        accounts_->setWindowIcon(windowIcon());
        connect(accounts_, &AccountDialog::closed, this, [this] { accounts_.clear(); });
    }
    accounts_->show();
    accounts_->raise();
    accounts_->activateWindow();
}

void MainWindow::connect_menus()
{
    Workspace &w = workspace_;
    connect(ui->fulllist, &QAction::triggered, this, [&w] { full_listing(w); });
    connect(ui->listava, &QAction::triggered, this,
            [&w] { list_filtered(w, ListFilter::available); });
    connect(ui->listobsol, &QAction::triggered, this,
            [&w] { list_filtered(w, ListFilter::obsolete); });
    connect(ui->printlisted, &QAction::triggered, this, &MainWindow::open_print_dialog);
    connect(ui->helpme, &QAction::triggered, this, &MainWindow::help_asked);
    connect(ui->passwordproena, &QAction::triggered, this, &MainWindow::open_account_dialog);
    connect(ui->aboutit, &QAction::triggered, this, &MainWindow::open_about);
    connect(ui->quit, &QAction::triggered, this, &MainWindow::quit_asked);
}

void MainWindow::connect_tabs()
{
    Workspace &w = workspace_;
    ListingTab *listing = w.listing;
    connect(listing, &ListingTab::order_changed, this, [&w] { order_changed(w); });
    connect(listing, &ListingTab::line_clicked, this, [&w] { line_clicked(w); });
    connect(listing, &ListingTab::line_double_clicked, this, [&w] { line_double_clicked(w); });
    connect(listing, &ListingTab::add_clicked, this, [&w] { add_new_product(w); });
    connect(listing, &ListingTab::edit_clicked, this, [&w] { edit_product(w); });
    connect(listing, &ListingTab::delete_clicked, this, [&w] { delete_selected(w); });
    connect(listing, &ListingTab::horizon_chosen, this,
            [&w](int months) { future_listing(w, months); });
    connect(listing, &ListingTab::every_horizon_chosen, this, [&w] { full_listing(w); });
    connect(listing, &ListingTab::search_entered, this,
            [&w](const QString &text) { multi_search(w, text); });

    DetailsTab *details = w.details;
    connect(details, &DetailsTab::save_clicked, this, [&w] { save_product(w); });
    connect(details, &DetailsTab::cancel_clicked, this, [&w] { cancel_entry(w); });
    connect(details, &DetailsTab::edit_clicked, this, [&w] { edit_product(w); });
    connect(details, &DetailsTab::due_inputs_changed, this, [&w] { CALCULATE_DATE(w); });
    connect(details, &DetailsTab::company_entered, this, [&w] { complete_company(w); });
    connect(details, &DetailsTab::number_typed, w.history, &HistoryTab::show_number);

    AddressBookTab *book = w.address_book;
    connect(book, &AddressBookTab::company_picked, this,
            [&w](const QString &text, const std::string &name) { contact_picked(w, text, name); });
    connect(book, &AddressBookTab::edit_clicked, this, [&w] { edit_contact(w); });
    connect(book, &AddressBookTab::save_clicked, this, [&w] { save_contact(w); });
    connect(book, &AddressBookTab::remove_clicked, this, [&w] { remove_contact(w); });
    connect(book, &AddressBookTab::cancel_clicked, this, [&w] { cancel_contact(w); });
    connect(book, &AddressBookTab::copy_clicked, this, [&w] { copy_contact(w); });

    HistoryTab *history = w.history;
    connect(history, &HistoryTab::entry_clicked, this, [&w] { history_entry_clicked(w); });
    connect(history, &HistoryTab::entry_double_clicked, this,
            [&w] { history_entry_double_clicked(w); });
    connect(history, &HistoryTab::now_calibrated_clicked, this, [&w] { now_calibrated(w); });
    connect(history, &HistoryTab::update_clicked, this, [&w] { update_result(w); });
    connect(history, &HistoryTab::remove_clicked, this, [&w] { remove_calibration(w); });
}

void MainWindow::quit_asked()
{
    if (Messages::confirm(this, QString::fromLatin1(quit_question), QString::fromLatin1(quit_title),
                          QMessageBox::Question))
        close();
}

void MainWindow::help_asked()
{
    open_user_guide(this, state_.app_path, QCoreApplication::applicationDirPath());
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
