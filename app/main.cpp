#include "app/startup.h"

#include <QApplication>
#include <QDirIterator>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Durnmoor"));
    QApplication::setOrganizationName(QStringLiteral("Durnmoor"));
    // Set once, the icon serves every window, the splash, the dialogs and the tray alike.
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    QApplication::setWindowIcon(icon);
    return durnmoor::run_program(app);
}
