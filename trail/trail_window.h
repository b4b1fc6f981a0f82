#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>

namespace Ui {
class TrailWindow;
}

namespace durnmoor {

class TrailModel;

inline constexpr char trail_export_caption[] = "Export Audit Trail";
inline constexpr char trail_export_filter[] = "CSV (*.csv)";

// The audit trail of a data folder, newest entry first, narrowed by instrument number, user,
// action and a range of days, and exported to CSV as it is shown. The trail is read again
// whenever the window comes to the front, so that the changes made meanwhile appear at the
// top. Escape closes it like Close.
class TrailWindow : public QWidget {
    Q_OBJECT

public:
    explicit TrailWindow(const QString &folder, QWidget *parent = nullptr);
    ~TrailWindow() override;

    TrailModel &model() { return *model_; }
    // Reads what the trail gained; a trail that cannot be read is said in the window.
    void refresh();
    // The filter as the controls set it, given to the model at once.
    void apply_filter();

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void show_count();
    void export_asked();

    std::unique_ptr<Ui::TrailWindow> ui;
    TrailModel *model_;
    QString folder_;
    QString problem_;
    // Typing in a filter box waits for a pause before the trail is searched again.
    QTimer typing_;
};

} // namespace durnmoor
