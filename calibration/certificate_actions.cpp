#include "calibration/certificate_actions.h"

#include "access/access_control.h"
#include "calibration/date_forms.h"
#include "certificates/certificate_store.h"
#include "common/file_rewrite.h"
#include "common/message_box.h"
#include "common/open_file_chooser.h"
#include "common/shell.h"
#include "text/screen_text.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent>

#include <atomic>
#include <limits>

namespace durnmoor {

namespace {

constexpr char choose_caption[] = "Attach Certificate";
constexpr char certificate_filter[] =
    "Certificates and scans (*.pdf *.PDF *.png *.PNG *.jpg *.JPG *.jpeg *.JPEG *.tif *.TIF "
    "*.tiff *.TIFF);;All files (*)";
constexpr char no_right[] = "Certificates can only be attached or removed with the right to edit.";
// A copy that ends sooner is not worth a window of its own.
constexpr int progress_delay_ms = 500;

AuditNote certificate_note(const char *action, const std::string &number, QDate day,
                           const QString &name, const std::string &sha256, bool added)
{
    auto side = [added](const std::string &value, bool new_side) {
        return added == new_side ? std::optional(value) : std::nullopt;
    };
    const std::string file_name = name.toStdString();
    return {action,
            {screen_text(number).toStdString(), file_date(day).toStdString()},
            {{"name", side(file_name, false), side(file_name, true)},
             {"sha256", side(sha256, false), side(sha256, true)}}};
}

// The copy on a thread while the window goes on being drawn; a copy that takes a while shows
// its progress, and may be cancelled there. The user's input waits until the progress
// window, modal to the main window, is there to take it.
CertificateOutcome copy_with_progress(QWidget *window, const QString &data_folder,
                                      const std::string &number, QDate day, const QString &source)
{
    std::atomic<qint64> done = 0, total = 0;
    std::atomic<bool> cancel = false;
    QFuture<CertificateOutcome> copy = QtConcurrent::run([&] {
        return attach_certificate(
            data_folder, number, day, source,
            [&](qint64 now, qint64 of) {
                total = of;
                done = now;
            },
            &cancel);
    });

    QProgressDialog progress(QStringLiteral("Copying %1…").arg(QFileInfo(source).fileName()),
                             QStringLiteral("Cancel"), 0, 1000, window);
    progress.setObjectName(QStringLiteral("certificateProgress"));
    progress.setWindowTitle(QString::fromLatin1(app_title));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setMinimumDuration(std::numeric_limits<int>::max()); // shown by the timer below
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel] { cancel = true; });

    QEventLoop loop;
    QFutureWatcher<CertificateOutcome> watcher;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(copy);
    QTimer show_later;
    show_later.setSingleShot(true);
    QObject::connect(&show_later, &QTimer::timeout, &loop, [&] {
        progress.show();
        loop.exit(1);
    });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &progress, [&] {
        const qint64 of = total;
        if (of > 0 && progress.isVisible())
            progress.setValue(int(done * 1000 / of));
    });
    show_later.start(progress_delay_ms);
    tick.start(50);
    bool shown = false;
    while (!copy.isFinished())
        shown =
            loop.exec(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents) == 1 ||
            shown;
    return copy.result();
}

} // namespace

CertificateActions::CertificateActions(const QString &data_folder, QWidget *window,
                                       AccessControl &access, QObject *parent)
    : QObject(parent), data_folder_(data_folder), window_(window), access_(access)
{
}

bool CertificateActions::allowed() const
{
    if (access_.may_edit())
        return true;
    Messages::notify(window_, QString::fromLatin1(no_right), QString::fromLatin1(app_title),
                     QMessageBox::Warning);
    return false;
}

QStringList CertificateActions::list(const std::string &number, QDate day) const
{
    return day.isValid() ? certificates_of(data_folder_, number, day) : QStringList();
}

bool CertificateActions::attach(const std::string &number, QDate day)
{
    if (!allowed() || !day.isValid())
        return false;
    const QStringList sources = choose_open_files(
        window_,
        {QString::fromLatin1(choose_caption), {}, QString::fromLatin1(certificate_filter)});
    bool any = false;
    for (const QString &source : sources) {
        const CertificateOutcome copied =
            copy_with_progress(window_, data_folder_, number, day, source);
        if (copied.cancelled)
            break; // the user has stopped the attaching, not one file of it
        if (!copied.ok) {
            Messages::notify(
                window_,
                QStringLiteral("%1 could not be attached to the calibration of "
                               "%2.\n%3\nNothing of it has been kept.")
                    .arg(QFileInfo(source).fileName(), long_display(day), copied.reason),
                QString::fromLatin1(app_title), QMessageBox::Warning);
            continue;
        }
        // A certificate the trail cannot record is not kept: the trail names every one.
        if (const std::optional<QString> unrecorded = FileRewrite::record_event(
                access_.trail_user(), certificate_note(audit_action::certificate_attach, number,
                                                       day, copied.name, copied.sha256, true))) {
            QFile::remove(
                QDir(certificate_folder(data_folder_, number, day)).filePath(copied.name));
            Messages::notify(window_,
                             QStringLiteral("%1 could not be recorded in the audit trail: %2\n"
                                            "It has not been attached.")
                                 .arg(QFileInfo(source).fileName(), *unrecorded),
                             QString::fromLatin1(app_title), QMessageBox::Warning);
            continue;
        }
        any = true;
    }
    if (any)
        emit changed(number, day);
    return any;
}

void CertificateActions::open(const std::string &number, QDate day, const QString &name)
{
    const QString path = QDir(certificate_folder(data_folder_, number, day)).filePath(name);
    QPointer<QWidget> window = window_;
    open_document(QFileInfo(path).absoluteFilePath(), [window, name](const QString &problem) {
        if (!problem.isEmpty())
            Messages::notify(
                window,
                QStringLiteral("The certificate %1 could not be opened.\n%2").arg(name, problem),
                QString::fromLatin1(app_title), QMessageBox::Warning);
    });
}

bool CertificateActions::remove(const std::string &number, QDate day, const QString &name)
{
    if (!allowed() || name.isEmpty())
        return false;
    if (!Messages::confirm(window_,
                           QStringLiteral("Remove the certificate %1 from the calibration of %2?\n"
                                          "It is kept in this session's backup set.")
                               .arg(name, long_display(day)),
                           QString::fromLatin1(app_title), QMessageBox::Question))
        return false;
    const bool removed = take_away(number, day, name);
    emit changed(number, day);
    return removed;
}

void CertificateActions::remove_all(const std::string &number, QDate day)
{
    const QStringList names = list(number, day);
    for (const QString &name : names)
        take_away(number, day, name);
    if (!names.isEmpty())
        emit changed(number, day);
}

bool CertificateActions::take_away(const std::string &number, QDate day, const QString &name)
{
    SessionBackup *backup = FileRewrite::session_backup_in_use();
    const CertificateOutcome moved =
        backup ? move_certificate_to_backup(*backup, data_folder_, number, day, name)
               : CertificateOutcome{false, name,
                                    QStringLiteral("There is no backup set to keep it in.")};
    if (!moved.ok) {
        Messages::notify(window_,
                         QStringLiteral("The certificate %1 could not be removed.\n%2\n"
                                        "It has been left where it was.")
                             .arg(name, moved.reason),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return false;
    }
    if (const std::optional<QString> unrecorded = FileRewrite::record_event(
            access_.trail_user(), certificate_note(audit_action::certificate_remove, number, day,
                                                   name, moved.sha256, false)))
        Messages::notify(window_,
                         QStringLiteral("The certificate %1 has been moved to the backup set, but "
                                        "the audit trail could not record it: %2")
                             .arg(name, *unrecorded),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
    return true;
}

} // namespace durnmoor
