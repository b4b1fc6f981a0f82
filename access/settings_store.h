#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QSettings;

namespace durnmoor {

// The options of the settings store, application "Durnmoor": "Pass"/"Word",
// "Reminder"/"On" and "Reminder"/"Days".
inline constexpr char protection_key[] = "Pass/Word";
inline constexpr char reminder_on_key[] = "Reminder/On";
inline constexpr char reminder_days_key[] = "Reminder/Days";
// How long backup sets are kept, and how many of the newest are kept whatever their age.
inline constexpr char backup_days_key[] = "Backup/Days";
inline constexpr char backup_keep_key[] = "Backup/Keep";
inline constexpr int default_backup_days = 30;
inline constexpr int default_backup_keep = 10;

// A stored text as a 16-bit whole number: a fraction rounds to the nearest, halves to the
// even neighbour (2.5 gives 2, 3.5 gives 4). nullopt for a text that is no number or a
// number out of range, so that the value it was to replace stays as it was.
std::optional<std::int16_t> to_short(const QString &text);

// The stored text of a key, or the default when the key is absent (or there is no store).
QString setting_text(const QSettings *settings, const char *key, const QString &fallback);
// Protection is on only for exactly "YES", and off for the start rights only for exactly
// "NO": any other text locks editing without asking for a log-in.
bool protection_on(const QSettings *settings);
bool protection_off(const QSettings *settings);
// "Reminder"/"On" reads 1.
bool reminder_on(const QSettings *settings);
// "Reminder"/"Days" (7 when absent) into days; a text that does not convert leaves it.
void load_reminder_days(const QSettings *settings, std::int16_t &days);

// "Backup"/"Days" and "Backup"/"Keep": a whole number from 1 up, else the default (a
// store that asks to keep no set at all would leave nothing to restore).
int backup_days(const QSettings *settings);
int backup_keep(const QSettings *settings);

// What the options dialog writes when it closes. days_text is the "Days Notice" box: its
// leading number is stored in the shortest decimal form.
struct StoredOptions {
    bool protection = false;
    bool reminder = false;
    QString days_text;
};
void store_options(QSettings *settings, const StoredOptions &options);

} // namespace durnmoor
