#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace durnmoor {

// Opens a document with the desktop's default program. Returns a value above 32 when
// the desktop took the document, as callers of the shell expect; callers may ignore it.
int StartDoc(const QString &doc_name);

// Tests replace the desktop with their own recorder.
void set_start_doc_hook(std::function<int(const QString &)> hook);

// Keeps a dialog above every other window while it is open, or releases it.
void SetTopMost(QWidget *window, bool on_top);

} // namespace durnmoor
