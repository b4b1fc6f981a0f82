#include "common/shell.h"

#include "common/message_box.h"
#include "store/data_folder.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QUrl>
#include <QWidget>

#include <cerrno>
#include <cstring>

namespace durnmoor {

namespace {

constexpr char opener[] = "xdg-open";
constexpr char guide_not_opened[] = "The user guide could not be opened.\n%1\n%2";

std::function<int(const QString &)> start_doc_hook;
std::function<bool(const QUrl &)> web_address_hook;

} // namespace

QString opener_problem(int exit_status)
{
    // The statuses xdg-open documents for itself.
    switch (exit_status) {
    case 0:
        return {};
    case 2:
        return QStringLiteral("The desktop could not find the file.");
    case 3:
        return QStringLiteral("No program is set up to open files of this kind.");
    case 4:
        return QStringLiteral("The program set up for files of this kind could not open it.");
    default:
        return QStringLiteral("The desktop's opener (xdg-open) ended with status %1.")
            .arg(exit_status);
    }
}

void open_document(const QString &doc_name, std::function<void(const QString &problem)> answered)
{
    if (start_doc_hook) {
        answered(opener_problem(start_doc_hook(doc_name)));
        return;
    }
    // Without a parent: a viewer still open when the program ends is the user's to close, and
    // destroying the process would kill the opener that waits for it.
    auto *process = new QProcess;
    process->setProgram(QString::fromLatin1(opener));
    process->setArguments({doc_name});
    // Files, not pipes: a viewer that outlives the program never writes into a closed pipe.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, answered](int status, QProcess::ExitStatus how) {
                         answered(how == QProcess::NormalExit
                                      ? opener_problem(status)
                                      : QStringLiteral("The desktop's opener (xdg-open) stopped "
                                                       "before it had opened it."));
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, answered](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // the end is told by finished
                         answered(QStringLiteral("The desktop's opener (xdg-open) could not be "
                                                 "started: %1")
                                      .arg(process->errorString()));
                         process->deleteLater();
                     });
    process->start();
}

void set_start_doc_hook(std::function<int(const QString &)> hook)
{
    start_doc_hook = std::move(hook);
}

void open_user_guide(QWidget *parent, const QString &data_folder, const QString &program_dir)
{
    const QPointer<QWidget> owner(parent);
    const bool owned = parent != nullptr;
    const auto tell = [owner, owned](const QString &path, const QString &problem) {
        if (owned && !owner)
            return; // the window asking has gone, and the program with it
        Messages::notify(owner, QString::fromLatin1(guide_not_opened).arg(path, problem),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
    };
    const QString guide = find_user_guide(data_folder, program_dir);
    if (guide.isEmpty()) {
        // Named where it belongs: beside the data files, where a copy of the guide is put.
        tell(QDir::cleanPath(QDir(data_folder).absoluteFilePath(QLatin1String(user_guide_name))),
             QString::fromLocal8Bit(std::strerror(ENOENT)));
        return;
    }
    const QString path = QFileInfo(guide).absoluteFilePath();
    open_document(path, [tell, path](const QString &problem) {
        if (!problem.isEmpty())
            tell(path, problem);
    });
}

bool open_web_address(const QString &address)
{
    const QUrl url(address);
    if (web_address_hook)
        return web_address_hook(url);
    return QDesktopServices::openUrl(url);
}

void set_web_address_hook(std::function<bool(const QUrl &)> hook)
{
    web_address_hook = std::move(hook);
}

void keep_on_top(QWidget *window, bool on_top)
{
    if (!window)
        return;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on_top);
    if (visible)
        window->show(); // changing the flag hides the window
}

} // namespace durnmoor
