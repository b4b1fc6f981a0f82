#include "app/splash.h"

#include "app/app_info.h"
#include "ui_splash.h"

#include <QApplication>
#include <QThread>

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

void SplashWindow::load()
{
    show();
    QApplication::processEvents();
    QThread::msleep(splash_pause_ms);
}

} // namespace durnmoor
