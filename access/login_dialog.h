#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class SettingsPro;
}

namespace durnmoor {

// "Durnmoor Password Protection": asks for a user name and a password.
class LoginDialog : public QDialog {
    Q_OBJECT

public:
    explicit LoginDialog(QWidget *parent = nullptr);
    ~LoginDialog() override;

    QString user_name() const;
    QString password() const;

signals:
    void attempted(); // "Attempt Access", or Enter in the password box
    // "Cancel", Escape or the close control: the main window is never left disabled
    // without a dialog to unlock it.
    void cancelled();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    std::unique_ptr<Ui::SettingsPro> ui;
    bool done_ = false;
};

} // namespace durnmoor
