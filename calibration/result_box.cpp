#include "calibration/result_box.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace durnmoor {

namespace {

// Marks a block that continues the line of the block before it. A block format, not a
// block's user state: formats take part in undo and redo.
constexpr int continues_property = QTextFormat::UserProperty + 1;

bool continues(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continues_property);
}

QTextBlockFormat line_start(QTextBlockFormat format)
{
    format.clearProperty(continues_property);
    return format;
}

QTextBlockFormat line_piece(QTextBlockFormat format)
{
    format.setProperty(continues_property, true);
    return format;
}

} // namespace

ResultBox::ResultBox(QWidget *parent) : QPlainTextEdit(parent) {}

QString ResultBox::text() const
{
    return text_between(0, document()->characterCount());
}

QString ResultBox::text_between(int from, int to) const
{
    QString out;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int begin = std::max(from, block.position()) - block.position();
        const int end = std::min(to, block.position() + block.length() - 1) - block.position();
        if (block.position() > from && !continues(block))
            out += u'\n';
        if (end > begin)
            out += block.text().mid(begin, end - begin);
    }
    // Shift+Enter puts a line separator inside a block: a line break all the same.
    out.replace(QChar::LineSeparator, u'\n');
    return out;
}

void ResultBox::set_text(const QString &text)
{
    document()->clear();
    QTextCursor cursor(document());
    cursor.setBlockFormat(line_start(cursor.blockFormat()));
    insert(cursor, text);
    document()->clearUndoRedoStacks();
    moveCursor(QTextCursor::Start);
}

void ResultBox::insert(QTextCursor &cursor, const QString &text)
{
    const QTextBlockFormat start = line_start(cursor.blockFormat());
    const QTextBlockFormat piece = line_piece(start);
    cursor.beginEditBlock();
    qsizetype at = 0;
    bool first_line = true;
    while (at <= text.size()) {
        qsizetype end = at;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        if (!first_line)
            cursor.insertBlock(start);
        first_line = false;
        for (qsizetype from = at; from < end;) {
            qsizetype to = std::min(end, from + piece_length);
            if (to < end && text[to - 1].isHighSurrogate())
                --to; // never between the halves of one character
            if (from > at)
                cursor.insertBlock(piece);
            cursor.insertText(text.mid(from, to - from));
            from = to;
        }
        if (end >= text.size())
            break;
        at = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
        if (at == text.size()) {
            cursor.insertBlock(start); // a line break at the very end
            break;
        }
    }
    cursor.endEditBlock();
}

void ResultBox::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    insert(cursor, source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *ResultBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(text_between(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void ResultBox::keyPressEvent(QKeyEvent *event)
{
    // A new line starts a line of its own, even inside a piece of a long one.
    if (!isReadOnly() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & Qt::ShiftModifier)) {
        QTextCursor cursor = textCursor();
        cursor.insertBlock(line_start(cursor.blockFormat()));
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

} // namespace durnmoor
