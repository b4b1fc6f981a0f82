#pragma once

#include <QDialog>
#include <QTimer>

#include <chrono>
#include <memory>

class QLineEdit;

namespace Ui {
class SettingsPro;
}

namespace durnmoor {

// Password boxes show every character as "*".
void show_stars(QLineEdit *box);

// "Durnmoor Password Protection": asks for a user name and a password.
class LoginDialog : public QDialog {
    Q_OBJECT

public:
    explicit LoginDialog(QWidget *parent = nullptr);
    ~LoginDialog() override;

    QString user_name() const;
    QString password() const;

    // Takes no attempt for this long: "Attempt Access" and Enter do nothing meanwhile.
    void hold_off(std::chrono::milliseconds wait);
    bool holding_off() const { return hold_.isActive(); }
    // In front again with the focus where it was, after a message or a click elsewhere.
    void take_focus_back();

signals:
    void attempted(); // "Attempt Access", or Enter in the password box
    // "Cancel", Escape or the close control: the main window is never left disabled
    // without a dialog to unlock it.
    void cancelled();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void attempt();

    std::unique_ptr<Ui::SettingsPro> ui;
    QTimer hold_;
    bool done_ = false;
};

} // namespace durnmoor
