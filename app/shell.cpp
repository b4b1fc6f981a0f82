#include "app/shell.h"

#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

namespace durnmoor {

namespace {
std::function<int(const QString &)> start_doc_hook;
}

int StartDoc(const QString &doc_name)
{
    if (start_doc_hook)
        return start_doc_hook(doc_name);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(doc_name)) ? 33 : 2;
}

void set_start_doc_hook(std::function<int(const QString &)> hook)
{
    start_doc_hook = std::move(hook);
}

void SetTopMost(QWidget *window, bool on_top)
{
    if (!window)
        return;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on_top);
    if (visible)
        window->show(); // changing the flag hides the window
}

} // namespace durnmoor
