#pragma once

class QString;

namespace durnmoor {

struct Workspace;

// Enter in the search box: the instruments whose records hold every word of the box's text
// (the full list when the box holds nothing but blanks).
void multi_search(Workspace &w, const QString &box_text);

} // namespace durnmoor
