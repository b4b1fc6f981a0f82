#include "common/message_box.h"

namespace durnmoor {

bool Messages::test_mode_ = false;
std::deque<QMessageBox::StandardButton> Messages::answers_;
std::vector<MessageRequest> Messages::shown_;

QMessageBox::StandardButton Messages::show(QWidget *parent, const MessageRequest &request)
{
    if (test_mode_) {
        shown_.push_back(request);
        shown_.back().parent = parent;
        if (answers_.empty())
            return request.default_button != QMessageBox::NoButton ? request.default_button
                                                                   : QMessageBox::Ok;
        const auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    if (request.default_button != QMessageBox::NoButton)
        box.setDefaultButton(request.default_button);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Messages::notify(QWidget *parent, const QString &text, const QString &title,
                      QMessageBox::Icon icon)
{
    show(parent, {text, title, icon, QMessageBox::Ok, QMessageBox::Ok, {}});
}

bool Messages::confirm(QWidget *parent, const QString &text, const QString &title,
                       QMessageBox::Icon icon)
{
    return show(parent,
                {text, title, icon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, {}}) ==
           QMessageBox::Yes;
}

void Messages::set_test_mode(bool on)
{
    test_mode_ = on;
}

void Messages::queue_answer(QMessageBox::StandardButton answer)
{
    answers_.push_back(answer);
}

const std::vector<MessageRequest> &Messages::shown()
{
    return shown_;
}

void Messages::clear()
{
    answers_.clear();
    shown_.clear();
}

} // namespace durnmoor
