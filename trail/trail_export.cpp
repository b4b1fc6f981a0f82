#include "trail/trail_export.h"

#include "audit/trail_csv.h"
#include "trail/trail_model.h"

#include <QSaveFile>

#include <string>

namespace durnmoor {

namespace {
// Written out a piece at a time: a million entries need not be held as text at once.
constexpr std::size_t write_piece = 1 << 20;
} // namespace

QString write_trail_csv(const TrailModel &model, const QString &path, std::size_t &rows)
{
    rows = 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    std::string text = trail_csv_header();
    bool written = true;
    const auto flush = [&] {
        written = written && file.write(text.data(), static_cast<qint64>(text.size())) ==
                                 static_cast<qint64>(text.size());
        text.clear();
    };
    AuditEntry entry;
    const bool read = model.visit_rows([&](std::string_view line) {
        if (read_audit_line(line, entry))
            append_trail_csv_row(text, entry);
        else
            append_unread_csv_row(text, line);
        ++rows;
        if (text.size() >= write_piece)
            flush();
    });
    flush();
    if (!read) {
        file.cancelWriting();
        return QStringLiteral("%1 could not be read to the end.")
            .arg(QLatin1String(audit_log_name));
    }
    if (!written || !file.commit())
        return file.errorString();
    return {};
}

} // namespace durnmoor
