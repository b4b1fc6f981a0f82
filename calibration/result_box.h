#pragma once

#include <QPlainTextEdit>

namespace durnmoor {

// "Calibration Results": multi-line free text that stays quick however long a line is. The
// box lays a line out in one piece, and a pasted line of a megabyte took it a minute; so a
// long line is shown in pieces of piece_length characters, each piece after the first marked
// as continuing the line before. text() joins the pieces again: what is stored is exactly
// what was typed or pasted.
class ResultBox : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int piece_length = 1024;

    explicit ResultBox(QWidget *parent = nullptr);

    // The text with its line breaks ("\n"), the pieces of a long line joined.
    QString text() const;
    // Shows text in place of what was shown, with nothing to undo.
    void set_text(const QString &text);

protected:
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Inserts text at the cursor: its line breaks (CR LF, LF or CR) as lines, a long line as
    // pieces that continue it.
    void insert(QTextCursor &cursor, const QString &text);
    // The text of the blocks between two positions, pieces joined.
    QString text_between(int from, int to) const;
};

} // namespace durnmoor
