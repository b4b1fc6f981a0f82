#include "access/login_dialog.h"

#include "common/enter_chain.h"
#include "common/one_line_boxes.h"
#include "common/title_width.h"
#include "ui_login_dialog.h"

#include <QCloseEvent>

namespace durnmoor {

void show_stars(QLineEdit *box)
{
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // '*'
}

LoginDialog::LoginDialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::SettingsPro>())
{
    ui->setupUi(this);
    fit_title(this);
    keep_to_one_line(this);
    show_stars(ui->Text1);
    hold_.setSingleShot(true);
    connect(&hold_, &QTimer::timeout, this, [this] { ui->Command1->setEnabled(true); });
    (new EnterChain(this))->link(ui->Text2, ui->Text1);
    connect(ui->Text1, &QLineEdit::returnPressed, this, &LoginDialog::attempt);
    connect(ui->Command1, &QPushButton::clicked, this, &LoginDialog::attempt);
    connect(ui->Command2, &QPushButton::clicked, this, &LoginDialog::reject);
}

LoginDialog::~LoginDialog() = default;

QString LoginDialog::user_name() const
{
    return ui->Text2->text();
}

QString LoginDialog::password() const
{
    return ui->Text1->text();
}

void LoginDialog::hold_off(std::chrono::milliseconds wait)
{
    if (wait <= std::chrono::milliseconds(0))
        return;
    ui->Command1->setEnabled(false);
    hold_.start(wait);
}

void LoginDialog::take_focus_back()
{
    raise();
    activateWindow(); // the focus goes back to the box that had it
}

void LoginDialog::attempt()
{
    if (!holding_off())
        emit attempted();
}

void LoginDialog::closeEvent(QCloseEvent *event)
{
    event->ignore();
    reject();
}

void LoginDialog::reject()
{
    if (done_)
        return;
    done_ = true;
    emit cancelled();
}

} // namespace durnmoor
