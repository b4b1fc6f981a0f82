#include "restore/backup_restore.h"

#include "access/accounts_file.h"
#include "audit/audit_entry.h"
#include "backup/session_backup.h"
#include "calibration/history_file.h"
#include "common/file_failure.h"
#include "common/file_rewrite.h"
#include "common/message_box.h"
#include "contacts/contacts_file.h"
#include "register/products_file.h"

#include <QDir>
#include <QFile>

#include <optional>

namespace durnmoor {

namespace {

constexpr char not_restored[] =
    "The records could not be restored.\n%1: %2\nEvery file has been left as it was.";

// One data file of a set: where it goes back to, and what the set holds of it.
struct KeptCopy {
    DataFilePlace place;
    std::string bytes;
};

std::optional<std::string> read_copy(const QString &path, QString &problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        problem = file.errorString();
        return std::nullopt;
    }
    return bytes.toStdString();
}

std::string copy_or_empty(const QString &path)
{
    QString ignored;
    return read_copy(path, ignored).value_or(std::string());
}

AuditNote restore_note(const QString &set_name)
{
    return {audit_action::backup_restore, {set_name.toStdString()}, {}};
}

} // namespace

std::vector<BackedUpFile> backed_up_files()
{
    return {{QString::fromLatin1(products_file_name)},
            {QString::fromLatin1(history_file_name)},
            {QString::fromLatin1(contacts_file_name)},
            {QString::fromLatin1(accounts_file_name), true},
            {QString::fromLatin1(audit_log_name)}};
}

SetContents contents_of(const QString &data_dir, const QString &set_name)
{
    const QDir set(set_path(data_dir, set_name));
    return {
        ProductsData(copy_or_empty(set.filePath(QString::fromLatin1(products_file_name)))).size(),
        HistoryData(copy_or_empty(set.filePath(QString::fromLatin1(history_file_name)))).size(),
        ContactsData(copy_or_empty(set.filePath(QString::fromLatin1(contacts_file_name)))).size()};
}

QString contents_text(const SetContents &contents)
{
    auto count = [](std::size_t n, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    return QStringList{count(contents.instruments, "instrument", "instruments"),
                       count(contents.calibrations, "calibration", "calibrations"),
                       count(contents.contacts, "contact", "contacts")}
        .join(QStringLiteral(", "));
}

QString restore_question(const BackupSet &set)
{
    return QStringLiteral("Restore the records as they were on %1? The present files are kept "
                          "as a backup set first.")
        .arg(set.time.toString(QStringLiteral("d MMMM yyyy, HH:mm:ss")));
}

bool restore_backup_set(QWidget *parent, const QString &data_dir, const QString &set_name,
                        SessionBackup &backup)
{
    auto tell = [parent](const QString &where, const QString &reason) {
        Messages::notify(parent, QString::fromLatin1(not_restored).arg(where, reason),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return false;
    };
    // Every copy is read before anything changes, so that a set that cannot be read
    // changes nothing.
    const QDir set(set_path(data_dir, set_name));
    const std::pair<const char *, DataFilePlace> files[] = {
        {products_file_name, products_file(data_dir)},
        {history_file_name, history_file(data_dir)},
        {contacts_file_name, contacts_file(data_dir)},
        {accounts_file_name, accounts_file(data_dir)}};
    std::vector<std::optional<KeptCopy>> copies;
    for (const auto &[name, place] : files) {
        const QString path = set.filePath(QString::fromLatin1(name));
        if (!QFileInfo::exists(path)) {
            copies.emplace_back(); // the set was made before the program made this file
            continue;
        }
        QString problem;
        std::optional<std::string> bytes = read_copy(path, problem);
        if (!bytes)
            return tell(QStringLiteral("%1/%2/%3")
                            .arg(QLatin1String(backups_folder_name), set_name, QLatin1String(name)),
                        problem);
        copies.push_back(KeptCopy{place, std::move(*bytes)});
    }

    if (const BackupOutcome kept = backup.make_now(); !kept.ok)
        return tell(kept.file, kept.reason);

    auto put_back = [&](const KeptCopy &copy) {
        FileRewrite rewrite(parent, copy.place);
        if (!rewrite.read())
            return false;
        if (rewrite.file().bytes() == copy.bytes)
            return true; // as the set has it already: no change to make or record
        rewrite.note(restore_note(set_name));
        return rewrite.finish(copy.bytes);
    };
    std::optional<KeptCopy> &products = copies[0], &history = copies[1];
    // An instrument and its calibrations go back together, as a calibration is recorded.
    if (products && history) {
        FileRewrite first(parent, products->place);
        if (!first.read())
            return false;
        FileRewrite second(parent, history->place);
        if (!second.read())
            return false;
        if (first.file().bytes() == products->bytes && second.file().bytes() == history->bytes) {
            // both as the set has them already
        } else if (first.note(restore_note(set_name)), second.note(restore_note(set_name));
                   !report_write_failure(parent,
                                         FileRewrite::finish_together(first, products->bytes,
                                                                      second, history->bytes)))
            return false;
    } else {
        for (const std::optional<KeptCopy> *copy : {&products, &history})
            if (*copy && !put_back(**copy))
                return false;
    }
    for (std::size_t i = 2; i < copies.size(); ++i)
        if (copies[i] && !put_back(*copies[i]))
            return false;
    return true;
}

} // namespace durnmoor
