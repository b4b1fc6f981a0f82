#include "common/message_box.h"

#include "common/title_width.h"

#include <QGridLayout>
#include <QSpacerItem>

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
    const std::unique_ptr<QMessageBox> box = make_box(parent, request);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

std::unique_ptr<QMessageBox> Messages::make_box(QWidget *parent, const MessageRequest &request)
{
    auto box = std::make_unique<QMessageBox>(request.icon, request.title, request.text,
                                             request.buttons, parent);
    if (request.default_button != QMessageBox::NoButton)
        box->setDefaultButton(request.default_button);
    // A message box sizes itself by its text alone, and the window manager cuts a longer
    // title: a row as wide as the title keeps it whole.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(title_width(request.title), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
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
