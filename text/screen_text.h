#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace durnmoor {

// A line of a data file as the screen shows it: decoded in the system's 8-bit encoding.
// Records are matched on their bytes; this is for showing only.
QString screen_text(std::string_view line);

// A field's bytes without the blanks around them; a tab typed into a field is content.
std::string without_outer_blanks(std::string_view field);

} // namespace durnmoor
