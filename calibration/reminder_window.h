#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class Reminder;
}

namespace durnmoor {

struct DueReminder;

// "Durnmoor - Calibration Due Date Reminder": one instrument falling due, in a window of
// its own that lives until the user closes it.
class ReminderWindow : public QWidget {
    Q_OBJECT

public:
    explicit ReminderWindow(const DueReminder &reminder, QWidget *parent = nullptr);
    ~ReminderWindow() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<Ui::Reminder> ui;
};

} // namespace durnmoor
