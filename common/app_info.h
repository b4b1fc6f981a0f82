#pragma once

#include <QString>

namespace durnmoor {

inline constexpr int version_major = 1;
inline constexpr int version_minor = 0;

// The maker's short notice: the end of the caption, a line of the credits.
QString notice_text();

// "Durnmoor V1.0": the program label of the splash window and the start of the caption.
QString program_label();

// The main window's normal caption: the program label, two blanks and the notice.
QString build_caption_text();

// Room for the notification-area icon's tip, in characters.
inline constexpr qsizetype tray_tip_length = 64;

// The tip of the notification-area icon: the caption in a field of 64 characters, so cut
// there, and ended at a NUL character where the caption holds one.
QString tray_tip(const QString &caption);

} // namespace durnmoor
