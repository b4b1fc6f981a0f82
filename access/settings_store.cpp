#include "access/settings_store.h"

#include "text/number_form.h"

#include <QSettings>

#include <cmath>
#include <limits>

namespace durnmoor {

std::optional<std::int16_t> to_short(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default rounding: halves to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

QString setting_text(const QSettings *settings, const char *key, const QString &fallback)
{
    if (!settings)
        return fallback;
    return settings->value(QString::fromLatin1(key), fallback).toString();
}

bool protection_on(const QSettings *settings)
{
    return setting_text(settings, protection_key, QStringLiteral("NO")) == QLatin1String("YES");
}

bool protection_off(const QSettings *settings)
{
    return setting_text(settings, protection_key, QStringLiteral("NO")) == QLatin1String("NO");
}

bool reminder_on(const QSettings *settings)
{
    return to_short(setting_text(settings, reminder_on_key, QStringLiteral("0"))) == 1;
}

void load_reminder_days(const QSettings *settings, std::int16_t &days)
{
    if (const auto read = to_short(setting_text(settings, reminder_days_key, QStringLiteral("7"))))
        days = *read;
}

namespace {
int whole_number_from_one(const QSettings *settings, const char *key, int fallback)
{
    bool ok = false;
    const int value = setting_text(settings, key, QString()).trimmed().toInt(&ok);
    return ok && value >= 1 ? value : fallback;
}
} // namespace

int backup_days(const QSettings *settings)
{
    return whole_number_from_one(settings, backup_days_key, default_backup_days);
}

int backup_keep(const QSettings *settings)
{
    return whole_number_from_one(settings, backup_keep_key, default_backup_keep);
}

void store_options(QSettings *settings, const StoredOptions &options)
{
    if (!settings)
        return;
    settings->setValue(QString::fromLatin1(reminder_on_key),
                       QString::fromLatin1(options.reminder ? "1" : "0"));
    const double days = leading_number(options.days_text.toLocal8Bit().toStdString());
    settings->setValue(QString::fromLatin1(reminder_days_key),
                       QString::fromStdString(plain_number(days)));
    settings->setValue(QString::fromLatin1(protection_key),
                       QString::fromLatin1(options.protection ? "YES" : "NO"));
    settings->sync();
}

} // namespace durnmoor
