#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class password;
}

namespace durnmoor {

class AccessControl;

// "Durnmoor Authorisation Setup ": the options (protection, start with the session, the
// due-date reminder) and the accounts of security.dat.
class AccountDialog : public QDialog {
    Q_OBJECT

public:
    explicit AccountDialog(AccessControl &access, QWidget *parent = nullptr);
    ~AccountDialog() override;

    // Refills the account part: chooser, boxes and rights from security.dat.
    void reload();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load();
    void choose_user(int index);
    void accept_account();
    void delete_user();
    void store_options();
    // The bytes of a name as the chooser or the user-name box shows it.
    std::string name_bytes(const QString &shown) const;

    std::unique_ptr<Ui::password> ui;
    AccessControl &access_;
    std::string chosen_; // the name last picked from the chooser, as stored
};

} // namespace durnmoor
