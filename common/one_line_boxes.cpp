#include "common/one_line_boxes.h"

#include <QLineEdit>
#include <QValidator>

#include <algorithm>

namespace durnmoor {

namespace {

bool holds_break(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// Flattens the text before the box's own rule, if it has one, judges it.
class OneLineValidator : public QValidator {
public:
    OneLineValidator(const QValidator *inner, QObject *parent) : QValidator(parent), inner_(inner)
    {
    }

    State validate(QString &input, int &pos) const override
    {
        if (holds_break(input)) {
            pos = static_cast<int>(one_line(input.left(pos)).size());
            input = one_line(input);
        }
        return inner_ ? inner_->validate(input, pos) : Acceptable;
    }

    void fixup(QString &input) const override
    {
        if (inner_)
            inner_->fixup(input);
    }

private:
    const QValidator *inner_; // the box's own rule, a child of the box like this one
};

void guard(QLineEdit *box)
{
    if (box->property("one_line").toBool())
        return;
    box->setProperty("one_line", true);
    box->setValidator(new OneLineValidator(box->validator(), box));
    // A text set past the box's own rule is kept as set, validator or not: flattened here.
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString &text) {
        if (holds_break(text)) {
            const int cursor = box->cursorPosition();
            box->setText(one_line(text));
            box->setCursorPosition(std::min(cursor, static_cast<int>(box->text().size())));
        }
    });
}

} // namespace

QString one_line(const QString &text)
{
    QString flat;
    flat.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the LF of the pair makes the blank
        flat += c == u'\r' || c == u'\n' ? QChar(u' ') : c;
    }
    return flat;
}

void keep_to_one_line(QWidget *root)
{
    if (auto *box = qobject_cast<QLineEdit *>(root))
        guard(box);
    for (QLineEdit *box : root->findChildren<QLineEdit *>())
        guard(box);
}

} // namespace durnmoor
