#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Durnmoor"));
    QApplication::setOrganizationName(QStringLiteral("Durnmoor"));
    return durnmoor::run_program(app);
}
