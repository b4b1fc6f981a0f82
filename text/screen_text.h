#pragma once

#include <QString>

#include <string_view>

namespace durnmoor {

// A line of a data file as the screen shows it: decoded in the system's 8-bit encoding.
// Records are matched on their bytes; this is for showing only.
QString screen_text(std::string_view line);

} // namespace durnmoor
