#include "common/title_width.h"

#include <QApplication>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace durnmoor {

namespace {
// The icon at the left, and minimise, maximise and close at the right, with their gaps.
constexpr int title_bar_furniture = 160;
} // namespace

int title_width(const QString &title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + title_bar_furniture;
}

void fit_title(QWidget *window)
{
    window->setMinimumWidth(std::max(window->minimumWidth(), title_width(window->windowTitle())));
}

} // namespace durnmoor
