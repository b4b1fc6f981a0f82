#include "app/app_info.h"

namespace durnmoor {

namespace {
constexpr char notice_text[] = "Calibration records of test and measuring instruments";
}

QString program_label()
{
    return QStringLiteral("Durnmoor V%1.%2").arg(version_major).arg(version_minor);
}

QString build_caption_text()
{
    return program_label() + QStringLiteral("  ") + QString::fromLatin1(notice_text);
}

} // namespace durnmoor
