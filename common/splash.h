#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class SPLASH;
}

namespace durnmoor {

// The "Loading... Please Wait" window shown while the main window fills its lists.
class SplashWindow : public QWidget {
    Q_OBJECT

public:
    explicit SplashWindow(QWidget *parent = nullptr);
    ~SplashWindow() override;

    // Its own load step: shown and painted, then the whole program pauses for a second.
    // meanwhile runs in that second, which lasts as long as it needs.
    void load(const std::function<void()> &meanwhile = {});

private:
    std::unique_ptr<Ui::SPLASH> ui;
};

} // namespace durnmoor
