#include "app/main_window.h"

#include "app/app_info.h"
#include "app/context_menu.h"
#include "app/message_box.h"
#include "app/shell.h"
#include "ui_address_book_tab.h"
#include "ui_details_tab.h"
#include "ui_history_tab.h"
#include "ui_listing_tab.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStyle>
#include <QTabBar>

namespace durnmoor {

namespace {

constexpr char quit_question[] = "Are you sure you want to Quit Durnmoor?";
constexpr char quit_title[] = "Durnmoor Quit Program Alert";
constexpr char help_document[] = "durn.rtf";

// Labels that keep the ordinary behaviour of a right click.
const QStringList labels_without_file_menu = {QStringLiteral("Label4"), QStringLiteral("Label31")};
// Controls inside frames that have the menu, which must not hand a right click on to them.
const char *const controls_without_file_menu[] = {"Label4",  "Label31", "Option1", "Option2",
                                                  "Option7", "Option3", "Option4"};

template <typename Form> QWidget *add_page(QTabWidget *tabs, Form &form, const QString &caption)
{
    auto *page = new QWidget(tabs);
    form.setupUi(page);
    tabs->addTab(page, caption);
    return page;
}

} // namespace

MainWindow::MainWindow(const AppContext &context, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MAIN>()),
      listing(std::make_unique<Ui::ListingTab>()),
      address_book(std::make_unique<Ui::AddressBookTab>()),
      details(std::make_unique<Ui::DetailsTab>()), history(std::make_unique<Ui::HistoryTab>()),
      context_(context)
{
    ui->setupUi(this);
    add_page(ui->SSTab1, *listing, QStringLiteral("Product Listing"));
    add_page(ui->SSTab1, *address_book, QStringLiteral("Address Book"));
    add_page(ui->SSTab1, *details, QStringLiteral("Product Details"));
    add_page(ui->SSTab1, *history, QStringLiteral("Product Calibration History"));

    state_.app_path = context.app_path;
    state_.caption_text = build_caption_text();
    setWindowTitle(state_.caption_text);

    connect_menus();
    install_context_menu();
    connect_instrument_list();
    connect_editing();
    connect_due_dates();
    connect_history();
    connect_due_listing();
}

MainWindow::~MainWindow() = default;

void MainWindow::load_form()
{
    listing->List1->clear();
    set_button_pictures();

    history->Text26->setReadOnly(true);
    history->Command10->setEnabled(false);
    history->Command9->setEnabled(false);

    QApplication::processEvents();
    disableform();
    QApplication::processEvents();
    load_up();
    QApplication::processEvents();
    dates();
    QApplication::processEvents();
    change_caption();
}

void MainWindow::apply_start_rights()
{
    state_.user_rights = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")};
    const QString protection =
        context_.settings
            ? context_.settings->value(QStringLiteral("Pass/Word"), QStringLiteral("NO")).toString()
            : QStringLiteral("NO");
    if (protection == QLatin1String("NO"))
        state_.set_right(3, QStringLiteral("1")); // no protection: everybody may edit
    disableform();
}

void MainWindow::change_caption()
{
    setWindowTitle(state_.caption_text);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::show_tab(MainTab tab)
{
    ui->SSTab1->setCurrentIndex(tab);
}

void MainWindow::connect_menus()
{
    connect(ui->fulllist, &QAction::triggered, this, &MainWindow::full_listing);
    connect(ui->listava, &QAction::triggered, this,
            [this] { list_filtered(ListFilter::available); });
    connect(ui->listobsol, &QAction::triggered, this,
            [this] { list_filtered(ListFilter::obsolete); });
    connect(ui->helpme, &QAction::triggered, this, &MainWindow::help_asked);
    connect(ui->quit, &QAction::triggered, this, &MainWindow::quit_asked);
}

void MainWindow::quit_asked()
{
    if (Messages::confirm(this, QString::fromLatin1(quit_question), QString::fromLatin1(quit_title),
                          QMessageBox::Question))
        close();
}

void MainWindow::help_asked()
{
    // A missing guide shows nothing: the desktop would only complain about a file we lack.
    const QString path = QDir(state_.app_path).filePath(QString::fromLatin1(help_document));
    if (QFile::exists(path))
        StartDoc(path);
}

void MainWindow::set_button_pictures()
{
    QStyle *style = this->style();
    listing->Command1->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    listing->Command13->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));
    details->Command4->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    details->Command2->setIcon(style->standardIcon(QStyle::SP_DialogCancelButton));
}

void MainWindow::install_context_menu()
{
    QList<QWidget *> targets{ui->SSTab1->tabBar(), listing->List1->viewport()};
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
    history->List2->viewport()->installEventFilter(stop);
}

} // namespace durnmoor
