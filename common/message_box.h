#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

class QWidget;

namespace durnmoor {

inline constexpr char app_title[] = "Durnmoor";

// Everything one message box or question shows.
struct MessageRequest {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton default_button = QMessageBox::NoButton;
    QPointer<QWidget> parent; // the window the box belongs to, as shown
};

// Every message box and question of the program passes through here. In test mode
// nothing is shown: each request is recorded, and the answer is the next queued one
// (or the default button when none is queued).
class Messages {
public:
    static QMessageBox::StandardButton show(QWidget *parent, const MessageRequest &request);

    // A notice with an OK button.
    static void notify(QWidget *parent, const QString &text, const QString &title,
                       QMessageBox::Icon icon);
    // A question that changes data: Yes and No, No the default. True when answered Yes.
    static bool confirm(QWidget *parent, const QString &text, const QString &title,
                        QMessageBox::Icon icon);

    // The box show() puts up for a request, as wide as its title needs.
    static std::unique_ptr<QMessageBox> make_box(QWidget *parent, const MessageRequest &request);

    static void set_test_mode(bool on);
    static void queue_answer(QMessageBox::StandardButton answer);
    static const std::vector<MessageRequest> &shown();
    static void clear();

private:
    static bool test_mode_;
    static std::deque<QMessageBox::StandardButton> answers_;
    static std::vector<MessageRequest> shown_;
};

} // namespace durnmoor
