#pragma once

#include <QString>

#include <functional>

class QUrl;
class QWidget;

namespace durnmoor {

// Asks the desktop's opener (xdg-open) to open a local document in the program set up for its
// kind. Nothing waits for it: xdg-open may stay until the viewer is closed, so answered runs
// when it ends, with an empty text when the document was taken, otherwise why not, in words
// for the user. What xdg-open prints is discarded: it would only reach a terminal.
void open_document(const QString &doc_name, std::function<void(const QString &problem)> answered);

// Tests stand in for xdg-open, so that no viewer is ever started: the hook is handed the
// document and returns the exit status xdg-open would (0 opened, 2 no such file, 3 no program
// for it, 4 the program failed). An empty hook restores xdg-open.
void set_start_doc_hook(std::function<int(const QString &)> hook);

// Why the desktop's opener could not open a document, from its exit status.
QString opener_problem(int exit_status);

// Help: the user guide in its viewer, the one beside the data files or an installed copy's.
// When it is missing or cannot be opened the user is told so, with the file's full path.
void open_user_guide(QWidget *parent, const QString &data_folder, const QString &program_dir);

// A web address in the user's browser, handed over as the address itself. True when the
// desktop took it.
bool open_web_address(const QString &address);

// Tests stand in for the browser; the hook is handed what the desktop would be.
void set_web_address_hook(std::function<bool(const QUrl &)> hook);

// Keeps a dialog above every other window while it is open, or releases it.
void keep_on_top(QWidget *window, bool on_top);

} // namespace durnmoor
