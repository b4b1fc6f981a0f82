#pragma once

#include <QColor>

class QPalette;
class QWidget;

namespace durnmoor {

// WCAG's contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrast_ratio(const QColor &a, const QColor &b);

// The colours of a field that cannot be typed into, taken from the program's palette:
// the window's own background, so that only white fields invite typing, and text dark
// enough to read at a contrast of at least 4.5:1.
struct LockedColours {
    QColor text;
    QColor background;
};
LockedColours locked_colours(const QPalette &palette);

// Gives every field under root, now and whenever it changes, one look while it is locked
// (disabled or read-only): the locked colours, and a read-only field leaves the Tab order
// as a disabled one does, since typing into it would be ignored.
void give_locked_look(QWidget *root);

// A control that holds part of a record without being a text field (an option of the
// record) is locked like one; the choices of a view are not, and keep the style's look.
void hold_as_field(QWidget *control);

} // namespace durnmoor
