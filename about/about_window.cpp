#include "about/about_window.h"

#include "common/app_info.h"
#include "common/shell.h"
#include "common/splash.h"
#include "common/title_width.h"
#include "ui_about_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace durnmoor {

namespace {

constexpr int scroll_interval_ms = 100;

} // namespace

QString credits_text()
{
    const QStringList lines{QStringLiteral("Durnmoor"),
                            QString(),
                            notice_text(),
                            QString(),
                            QStringLiteral("Developed by"),
                            QStringLiteral("The Durnmoor engineering team"),
                            QString(),
                            QStringLiteral("Designed & Programmed by"),
                            QStringLiteral("The Durnmoor founding engineers")};
    QString text;
    for (const QString &line : lines)
        text +=
            (line.isEmpty() ? QString() : QStringLiteral("     ") + line) + QStringLiteral("\r\n");
    return text;
}

AboutWindow::AboutWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::about>())
{
    ui->setupUi(this);
    fit_title(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    installEventFilter(this);
    ui->Picture1->installEventFilter(this);
    ui->Label1->installEventFilter(this);

    // The splash window lends its artwork and stays open as long as this window does. The
    // artwork stands at the top left on the white background, the credits and link below it.
    splash_ = new SplashWindow;
    splash_->load();
    artwork_ = splash_->grab();
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    const QSize art = artwork_.deviceIndependentSize().toSize();
    QMargins margins = layout()->contentsMargins();
    margins.setTop(margins.top() + art.height());
    layout()->setContentsMargins(margins);
    setMinimumWidth(art.width());

    QFont link(QStringLiteral("MS Sans Serif"), 12);
    link.setBold(true);
    link.setUnderline(true);
    ui->Label1->setFont(link);
    ui->Label1->setText(QString::fromLatin1(maker_address));
    set_link_colour(Qt::blue);

    ui->Picture1->set_credits(credits_text());
    offset_ = static_cast<std::int16_t>(ui->Picture1->height());
    ui->Picture1->set_offset(offset_);
    connect(&timer_, &QTimer::timeout, this, &AboutWindow::tick);
    timer_.start(scroll_interval_ms);
    adjustSize();
}

AboutWindow::~AboutWindow()
{
    delete splash_;
}

void AboutWindow::place_over(const QWidget *window)
{
    QRect frame = frameGeometry();
    frame.moveCenter(window->frameGeometry().center());
    // A main window near a screen's edge would push part of this one off it.
    if (const QScreen *screen = window->screen()) {
        const QRect room = screen->availableGeometry();
        if (room.width() >= frame.width() && room.height() >= frame.height()) {
            frame.moveLeft(std::clamp(frame.left(), room.left(), room.right() - frame.width() + 1));
            frame.moveTop(std::clamp(frame.top(), room.top(), room.bottom() - frame.height() + 1));
        }
    }
    move(frame.topLeft());
}

void AboutWindow::tick()
{
    --offset_;
    ui->Picture1->set_offset(offset_);
    if (offset_ < 0)
        timer_.stop();
}

void AboutWindow::set_link_colour(Qt::GlobalColor colour)
{
    QPalette palette = ui->Label1->palette();
    palette.setColor(QPalette::WindowText, colour);
    ui->Label1->setPalette(palette);
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Label1 && event->type() == QEvent::Enter)
        set_link_colour(Qt::red);
    else if (watched != ui->Label1 && event->type() == QEvent::MouseMove)
        set_link_colour(Qt::blue);
    else if (watched == ui->Label1 && event->type() == QEvent::MouseButtonPress &&
             static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        open_web_address(QString::fromLatin1(maker_address));
    return QWidget::eventFilter(watched, event);
}

void AboutWindow::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter(this).drawPixmap(0, 0, artwork_);
}

void AboutWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void AboutWindow::closeEvent(QCloseEvent *event)
{
    timer_.stop();
    if (splash_)
        splash_->close();
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace durnmoor
