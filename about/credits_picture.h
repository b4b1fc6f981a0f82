#pragma once

#include <QWidget>

namespace durnmoor {

// The about window's picture box: the credits drawn on white at a vertical offset, centred
// by their widest line.
class CreditsPicture : public QWidget {
    Q_OBJECT

public:
    explicit CreditsPicture(QWidget *parent = nullptr);

    void set_credits(const QString &text);
    void set_offset(int offset);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList lines_;
    int offset_ = 0;
};

} // namespace durnmoor
