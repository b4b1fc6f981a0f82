#include "access/account_dialog.h"

#include "access/access_control.h"
#include "access/autostart.h"
#include "access/login_dialog.h"
#include "access/settings_store.h"
#include "common/busy_cursor.h"
#include "common/file_rewrite.h"
#include "common/message_box.h"
#include "common/one_line_boxes.h"
#include "common/shell.h"
#include "common/title_width.h"
#include "text/screen_text.h"
#include "ui_account_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>

#include <algorithm>

namespace durnmoor {

namespace {

constexpr char choose_user_text[] = "Choose User";
constexpr char no_password[] =
    "You cannot have password-protection on, without having a password. Please enter a "
    "password and verify it, or un-check the protection.";
constexpr char no_username[] = "No Username entered.";
constexpr char username_needed[] =
    "You have to have a Username to create a Password-Authorisation Account.";
constexpr char two_passwords[] =
    "You have entered TWO different passwords. Please re-enter your *NEW* password, and "
    "verify it by re-entering the same password on the next box.";
constexpr char delete_question[] =
    "Are you sure you want to DELETE this user from Durnmoor Account Administration (user will "
    "not longer be able to access any of Durnmoor's Data?";
constexpr char delete_title[] = "Durnmoor Removal of User Authorisation";
constexpr char restart_notice[] = "You will need to QUIT Durnmoor and restart the Program to "
                                  "reinitialise Auto-Calibration Due-Date Reminder.";

std::string bytes_of(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

} // namespace

AccountDialog::AccountDialog(AccessControl &access, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::password>()), access_(access)
{
    ui->setupUi(this);
    fit_title(this);
    keep_to_one_line(this);
    show_stars(ui->Text1);
    show_stars(ui->Text2);
    // The chooser lists accounts only: typed text names the account to delete, but never
    // becomes an entry and never chooses one. Only a pick from the list does.
    ui->Combo1->setInsertPolicy(QComboBox::NoInsert);
    ui->Combo1->setCompleter(nullptr);
    ui->Combo1->lineEdit()->installEventFilter(this);
    // The box would choose an account whose name was typed once the typing ends.
    disconnect(ui->Combo1->lineEdit(), &QLineEdit::editingFinished, ui->Combo1, nullptr);
    setAttribute(Qt::WA_DeleteOnClose);
    // Ticking a right ticks the rights it implies; unticking changes no other box.
    connect(ui->Check3, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            ui->Check4->setChecked(true);
    });
    connect(ui->Check4, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            ui->Check2->setChecked(true);
    });
    connect(ui->Combo1, &QComboBox::activated, this, &AccountDialog::choose_user);
    connect(ui->Command1, &QPushButton::clicked, this, &AccountDialog::accept_account);
    connect(ui->Command3, &QPushButton::clicked, this, &AccountDialog::delete_user);
    connect(ui->Command2, &QPushButton::clicked, this, &AccountDialog::close);
    ui->Check6->installEventFilter(this);
    load();
}

AccountDialog::~AccountDialog() = default;

void AccountDialog::load()
{
    keep_on_top(this, true);
    const AppContext &context = access_.context();
    ui->Check1->setChecked(protection_on(context.settings));
    if (const auto on =
            to_short(setting_text(context.settings, reminder_on_key, QStringLiteral("0"))))
        ui->Check6->setChecked(*on == 1);
    ui->Text11->setText(QString::number(access_.load_reminder_days()));
    // The box tells whether the program does start with the session.
    ui->Check5->setChecked(context.autostart && context.autostart->registered());
    reload();
}

void AccountDialog::reload()
{
    ui->Combo1->clear();
    for (QLineEdit *box : {ui->Text3, ui->Text1, ui->Text2})
        box->clear();
    for (QCheckBox *box : {ui->Check3, ui->Check2, ui->Check4})
        box->setChecked(false);
    chosen_.clear();

    std::vector<std::string> names = access_.account_names(this);
    std::stable_sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return screen_text(a).compare(screen_text(b), Qt::CaseInsensitive) < 0;
    });
    for (const std::string &name : names)
        ui->Combo1->addItem(screen_text(name), QByteArray::fromStdString(name));
    ui->Combo1->setCurrentIndex(-1);
    ui->Combo1->setEditText(QString::fromLatin1(choose_user_text));
}

std::string AccountDialog::name_bytes(const QString &shown) const
{
    return !chosen_.empty() && shown == screen_text(chosen_) ? chosen_ : bytes_of(shown);
}

void AccountDialog::choose_user(int index)
{
    ui->Check2->setChecked(false);
    ui->Check3->setChecked(false);
    chosen_ = ui->Combo1->itemData(index).toByteArray().toStdString();
    const auto account = access_.find_account(this, chosen_);
    if (!account) {
        for (QLineEdit *box : {ui->Text3, ui->Text1, ui->Text2})
            box->clear();
        for (QCheckBox *box : {ui->Check3, ui->Check2, ui->Check4})
            box->setChecked(false);
        return;
    }
    ui->Text3->setText(screen_text(account->name));
    ui->Text1->setText(screen_text(account->password));
    ui->Check3->setChecked(flag_ticked(account->maintenance));
    ui->Check2->setChecked(flag_ticked(account->read));
    ui->Check4->setChecked(flag_ticked(account->edit));
}

void AccountDialog::accept_account()
{
    const bool protection = ui->Check1->isChecked();
    const bool no_name = ui->Text3->text().isEmpty();
    auto warn = [this](const char *text, bool beep) {
        if (beep)
            QApplication::beep();
        Messages::notify(this, QString::fromLatin1(text), QString::fromLatin1(app_title),
                         QMessageBox::Warning);
    };
    if (protection && ui->Text1->text().isEmpty() && ui->Text2->text().isEmpty())
        return warn(no_password, true);
    if (protection && no_name)
        return warn(no_username, true);
    if (no_name)
        return warn(username_needed, false);
    if (ui->Text1->text() != ui->Text2->text())
        return warn(two_passwords, false);

    const BusyCursor busy;
    const Account account{name_bytes(ui->Text3->text()), bytes_of(ui->Text1->text()),
                          flag_line(ui->Check3->isChecked()), flag_line(ui->Check2->isChecked()),
                          flag_line(ui->Check4->isChecked())};
    // A failed write keeps the entries, so the user can try again.
    if (access_.save_account(this, account)) {
        reload();
        ui->Text3->setFocus(); // ready for the next account
    }
}

void AccountDialog::delete_user()
{
    if (!Messages::confirm(this, QString::fromLatin1(delete_question),
                           QString::fromLatin1(delete_title), QMessageBox::Information))
        return;
    const BusyCursor busy;
    // The chooser names the account, not the user-name box: with "Choose User" showing,
    // nothing matches and the file stays as it was.
    const std::string name = name_bytes(ui->Combo1->currentText());
    if (access_.delete_account(this, name))
        reload();
}

bool AccountDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Combo1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    // Only a mouse press on the unticked reminder box tells the user when it takes effect.
    if (watched == ui->Check6 && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && !ui->Check6->isChecked()) {
        Messages::notify(this, QString::fromLatin1(restart_notice), QString::fromLatin1(app_title),
                         QMessageBox::Information);
        ui->Check6->setChecked(true);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AccountDialog::store_options()
{
    const BusyCursor busy;
    const AppContext &context = access_.context();
    // What the options were and became, for the audit trail: only those that changed.
    const char *const keys[] = {protection_key, reminder_on_key, reminder_days_key};
    const auto now = [&] {
        std::vector<std::string> values;
        for (const char *key : keys)
            values.push_back(
                context.settings
                    ? context.settings->value(QString::fromLatin1(key)).toString().toStdString()
                    : std::string());
        values.push_back(context.autostart && context.autostart->registered() ? "1" : "0");
        return values;
    };
    const std::vector<std::string> before = now();
    durnmoor::store_options(context.settings,
                            {ui->Check1->isChecked(), ui->Check6->isChecked(), ui->Text11->text()});
    if (context.autostart)
        context.autostart->set_registered(ui->Check5->isChecked());
    const std::vector<std::string> after = now();
    std::vector<FieldChange> changes;
    for (std::size_t i = 0; i < after.size(); ++i)
        if (before[i] != after[i])
            changes.push_back({i < std::size(keys) ? keys[i] : "autostart", before[i], after[i]});
    if (!changes.empty())
        FileRewrite::record_event(access_.trail_user(),
                                  {audit_action::options_change, {}, std::move(changes)});
}

// However it closes, the dialog stores the options; QDialog's own handling would turn the
// close into a rejection that closes again.
void AccountDialog::closeEvent(QCloseEvent *event)
{
    store_options();
    event->accept();
    emit closed();
}

void AccountDialog::reject()
{
    close(); // Escape closes the way "Ca&ncel" does
}

} // namespace durnmoor
