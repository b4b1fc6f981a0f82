#include "app/splash.h"

#include "app/app_info.h"
#include "ui_splash.h"

namespace durnmoor {

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen), ui(std::make_unique<Ui::SPLASH>())
{
    ui->setupUi(this);
    ui->lblProductName->setText(program_label());
}

SplashWindow::~SplashWindow() = default;

} // namespace durnmoor
