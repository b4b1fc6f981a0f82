#include "common/app_info.h"

namespace durnmoor {

namespace {
// Short enough that the caption fits the notification-area tip whole.
constexpr char notice[] = "Calibration records of measuring instruments";
} // namespace

QString notice_text()
{
    return QString::fromLatin1(notice);
}

QString program_label()
{
    return QStringLiteral("Durnmoor V%1.%2").arg(version_major).arg(version_minor);
}

QString build_caption_text()
{
    return program_label() + QStringLiteral("  ") + notice_text();
}

QString tray_tip(const QString &caption)
{
    QString tip = caption.left(tray_tip_length);
    if (const qsizetype end = tip.indexOf(QChar(u'\0')); end >= 0)
        tip.truncate(end);
    return tip;
}

} // namespace durnmoor
