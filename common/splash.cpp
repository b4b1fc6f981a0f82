#include "common/splash.h"

#include "common/app_info.h"
#include "ui_splash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace durnmoor {

namespace {
constexpr unsigned long splash_pause_ms = 1000;
}

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen), ui(std::make_unique<Ui::SPLASH>())
{
    ui->setupUi(this);
    ui->lblProductName->setText(program_label());
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::load(const std::function<void()> &meanwhile)
{
    show();
    QApplication::processEvents();
    QElapsedTimer paused;
    paused.start();
    if (meanwhile)
        meanwhile();
    QThread::msleep(
        static_cast<unsigned long>(std::max<qint64>(0, splash_pause_ms - paused.elapsed())));
}

} // namespace durnmoor
