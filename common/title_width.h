#pragma once

#include <QString>

class QWidget;

namespace durnmoor {

// The width a window needs to show its whole title in the window manager's title bar: the
// text in a bold face of the program's font, with room for the icon and the buttons.
int title_width(const QString &title);

// Keeps window at least as wide as its title needs.
void fit_title(QWidget *window);

} // namespace durnmoor
