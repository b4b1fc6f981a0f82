#include "calibration/reminder_window.h"

#include "calibration/date_forms.h"
#include "calibration/reminders.h"
#include "common/one_line_boxes.h"
#include "common/title_width.h"
#include "text/screen_text.h"
#include "ui_reminder_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace durnmoor {

ReminderWindow::ReminderWindow(const DueReminder &reminder, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Reminder>())
{
    ui->setupUi(this);
    fit_title(this);
    keep_to_one_line(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus); // Escape closes it
    for (QLabel *large : {ui->Label1, ui->Label3, ui->Label4}) {
        QFont font = large->font();
        font.setPointSizeF(font.pointSizeF() * 1.5);
        font.setBold(true);
        large->setFont(font);
    }
    ui->Label1->setText(screen_text(reminder.instrument_no));
    ui->Label3->setText(QStringLiteral("%1 days time.").arg(reminder.days));
    ui->Label4->setText(reminder_display(reminder.due));
}

ReminderWindow::~ReminderWindow() = default;

void ReminderWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ReminderWindow::closeEvent(QCloseEvent *event)
{
    for (QLabel *line : {ui->Label1, ui->Label3, ui->Label4})
        line->clear();
    QWidget::closeEvent(event);
}

} // namespace durnmoor
