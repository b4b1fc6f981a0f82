#include "access/login_dialog.h"

#include "app/enter_chain.h"
#include "app/one_line_boxes.h"
#include "ui_login_dialog.h"

#include <QCloseEvent>

namespace durnmoor {

LoginDialog::LoginDialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::SettingsPro>())
{
    ui->setupUi(this);
    keep_to_one_line(this);
    (new EnterChain(this))->link(ui->Text2, ui->Text1);
    connect(ui->Text1, &QLineEdit::returnPressed, this, &LoginDialog::attempted);
    connect(ui->Command1, &QPushButton::clicked, this, &LoginDialog::attempted);
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
