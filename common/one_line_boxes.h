#pragma once

class QString;
class QWidget;

namespace durnmoor {

// A CR, LF or CR LF turned into one blank. Every field is one line in every data file, so a
// line break in a single-line box could only split a record.
QString one_line(const QString &text);

// Keeps every single-line box under root (root itself too) to one line, however its text
// arrives: typed, pasted or set. A box's own input rule still applies to what is typed.
void keep_to_one_line(QWidget *root);

} // namespace durnmoor
