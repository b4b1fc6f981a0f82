#pragma once

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace Ui {
class about;
}

namespace durnmoor {

class SplashWindow;

// The maker's web page, which the about window links to.
inline constexpr char maker_address[] = "https://durnmoor.example.org";

// The credits text: each line followed by CR LF, each non-empty one after five blanks.
QString credits_text();

// "About  - Durnmoor": the splash artwork, the credits rising into place one pixel every
// tenth of a second, and a link to the maker's web page. Escape closes it like its close box.
class AboutWindow : public QWidget {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget *parent = nullptr);
    ~AboutWindow() override;

    // Centred over window, kept on its screen where it fits there.
    void place_over(const QWidget *window);

    // The splash window's picture, shown at the window's top left on its white background.
    const QPixmap &artwork() const { return artwork_; }

    std::int16_t scroll_offset() const { return offset_; }
    bool scrolling() const { return timer_.isActive(); }
    // One step of the scroll: the text a pixel higher, stopping once its top reaches the top.
    void tick();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void set_link_colour(Qt::GlobalColor colour);

    std::unique_ptr<Ui::about> ui;
    QPointer<SplashWindow> splash_;
    QPixmap artwork_;
    QTimer timer_;
    std::int16_t offset_ = 0;
};

} // namespace durnmoor
