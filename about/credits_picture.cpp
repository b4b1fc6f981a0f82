#include "about/credits_picture.h"

#include <QPainter>

#include <algorithm>

namespace durnmoor {

CreditsPicture::CreditsPicture(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 10));
    setMouseTracking(true);
}

void CreditsPicture::set_credits(const QString &text)
{
    lines_ = text.split(QStringLiteral("\r\n"));
    if (!lines_.isEmpty() && lines_.back().isEmpty())
        lines_.removeLast(); // every line, the last too, ends with a line break
    update();
}

void CreditsPicture::set_offset(int offset)
{
    offset_ = offset;
    update();
}

void CreditsPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (const QString &line : lines_)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int x = (width() - widest) / 2;
    int y = offset_ + metrics.ascent();
    for (const QString &line : lines_) {
        painter.drawText(x, y, line);
        y += metrics.lineSpacing();
    }
}

} // namespace durnmoor
