#pragma once

#include <QString>

namespace durnmoor::test {

// The questions of the instrument list, as shown_messages() reads them.
inline const QString overwrite = "Information \"Durnmoor Duplicate Record Alert\": This record "
                                 "already exists, overwrite ? (Yes|No, default No)";
inline const QString delete_selected =
    "Information \"Durnmoor Tool Removal Alert\": Delete Selected? (Yes|No, default No)";

} // namespace durnmoor::test
