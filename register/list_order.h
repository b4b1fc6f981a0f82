#pragma once

#include <QStringList>

namespace durnmoor {

// Puts list lines in the order the instrument list keeps: as text, without regard to
// case ("10", "9", "A1"). Lines equal but for case keep the order they came in.
void sort_list_lines(QStringList &lines);

// A line of the instrument list: a record's key line decoded for the screen.
QString list_text(std::string_view line);

} // namespace durnmoor
