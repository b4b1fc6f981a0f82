#include "app/workspace.h"

#include <QApplication>
#include <QTabWidget>

namespace durnmoor {

void change_caption(Workspace &w)
{
    w.window->setWindowTitle(w.state.caption_text);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void show_working_caption(Workspace &w, const char *caption)
{
    w.window->setWindowTitle(QString::fromLatin1(caption));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void show_tab(Workspace &w, MainTab tab)
{
    w.tabs->setCurrentIndex(tab);
}

} // namespace durnmoor
