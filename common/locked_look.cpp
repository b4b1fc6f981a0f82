#include "common/locked_look.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cmath>

namespace durnmoor {

namespace {

constexpr double readable_contrast = 4.5;
constexpr double text_softening = 0.25; // how far locked text moves toward its background
constexpr char own_focus_policy[] = "durnmoor_focus_policy";
constexpr char held_as_field[] = "durnmoor_field";

double channel_luminance(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel_luminance(rgb.red()) + 0.7152 * channel_luminance(rgb.green()) +
           0.0722 * channel_luminance(rgb.blue());
}

QColor mixed(const QColor &from, const QColor &to, double share)
{
    const auto mix = [share](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * share));
    };
    const QColor f = from.toRgb(), t = to.toRgb();
    return QColor(mix(f.red(), t.red()), mix(f.green(), t.green()), mix(f.blue(), t.blue()));
}

bool read_only(const QWidget *field)
{
    if (const auto *box = qobject_cast<const QLineEdit *>(field))
        return box->isReadOnly();
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(field))
        return box->isReadOnly();
    if (const auto *box = qobject_cast<const QTextEdit *>(field))
        return box->isReadOnly();
    return false;
}

bool is_field(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget) ||
           qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QAbstractSpinBox *>(widget) ||
           widget->property(held_as_field).toBool();
}

void apply(QWidget *field)
{
    const LockedColours locked = locked_colours(QApplication::palette(field));
    QPalette palette = QApplication::palette(field);
    for (const auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(QPalette::Disabled, role, locked.text);
    palette.setColor(QPalette::Disabled, QPalette::Base, locked.background);

    // A combo box's own line edit follows the combo; its read-only state is not the lock.
    const bool locked_box = read_only(field) && !qobject_cast<QComboBox *>(field->parentWidget());
    if (locked_box)
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Text, locked.text);
            palette.setColor(group, QPalette::Base, locked.background);
        }
    field->setPalette(palette);

    if (!field->property(own_focus_policy).isValid())
        field->setProperty(own_focus_policy, static_cast<int>(field->focusPolicy()));
    const auto own = static_cast<Qt::FocusPolicy>(field->property(own_focus_policy).toInt());
    field->setFocusPolicy(locked_box ? Qt::NoFocus : own);
}

class LockedLook : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ReadOnlyChange)
            apply(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

double contrast_ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

LockedColours locked_colours(const QPalette &palette)
{
    const QColor background = palette.color(QPalette::Active, QPalette::Window);
    const QColor full = palette.color(QPalette::Active, QPalette::WindowText);
    QColor text = mixed(full, background, text_softening);
    if (contrast_ratio(text, background) < readable_contrast)
        text = full;
    if (contrast_ratio(text, background) < readable_contrast) // a theme with too little contrast
        text = luminance(background) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    return {text, background};
}

void hold_as_field(QWidget *control)
{
    control->setProperty(held_as_field, true);
}

void give_locked_look(QWidget *root)
{
    auto *look = new LockedLook(root);
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (!is_field(widget))
            continue;
        apply(widget);
        widget->installEventFilter(look);
    }
}

} // namespace durnmoor
