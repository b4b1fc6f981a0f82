#include "store/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace durnmoor {

QString user_data_folder()
{
    // AppDataLocation would add the organisation as well: ~/.local/share/Durnmoor/Durnmoor.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1Char('/') + QCoreApplication::applicationName();
}

bool program_folder_holds_data(const QString &program_dir)
{
    if (QFileInfo(QDir(program_dir).filePath(QLatin1String(shared_files_from_program))).isDir())
        return false;
    // The system's own answer, not the mode bits: a read-only mount refuses even root.
    return ::access(QFile::encodeName(program_dir).constData(), W_OK) == 0;
}

QString choose_data_folder(const QString &program_dir, const QString &user_dir,
                           const std::function<bool(const QString &)> &holds_data)
{
    if (holds_data(program_dir))
        return program_dir;
    // The register, and the accounts with their passwords, are the user's alone: the folder
    // made for them lets nobody else in. The folders above it are made as any other would
    // be, and a folder already there keeps the mode its owner gave it.
    const QString folder = QDir::cleanPath(user_dir);
    QDir().mkpath(QFileInfo(folder).path());
    ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
    return user_dir;
}

QString find_user_guide(const QString &data_folder, const QString &program_dir)
{
    const QString shared = QDir(program_dir).filePath(QLatin1String(shared_files_from_program));
    for (const QString &folder : {data_folder, shared}) {
        const QString path = QDir::cleanPath(QDir(folder).filePath(QLatin1String(user_guide_name)));
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

} // namespace durnmoor
