#include "calibration/date_forms.h"

#include <QLocale>

#include <array>
#include <optional>

namespace durnmoor {

namespace {

constexpr int year_choice_span = 100;

QString four_digit_year(int year)
{
    return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

int code_of(QChar c)
{
    return c.unicode();
}
int code_of(char c)
{
    return static_cast<unsigned char>(c);
}

// The value of a text of ASCII digits only, min_digits to max_digits long. Locale digits are
// refused: the texts end up in data files that other machines must read alike.
template <typename Text>
std::optional<int> ascii_number(Text text, qsizetype min_digits, qsizetype max_digits)
{
    const auto size = static_cast<qsizetype>(text.size());
    if (size < min_digits || size > max_digits)
        return std::nullopt;
    int value = 0;
    for (const auto c : text) {
        const int code = code_of(c);
        if (code < '0' || code > '9')
            return std::nullopt;
        value = value * 10 + (code - '0');
    }
    return value;
}

// The names a month may be written with, made once per locale: a due listing looks up a
// month for every record.
const std::array<std::array<QString, 3>, 12> &month_names()
{
    static std::optional<QLocale> made_for;
    static std::array<std::array<QString, 3>, 12> names;
    const QLocale locale;
    if (made_for != locale) {
        const QLocale english = QLocale::c();
        for (int m = 1; m <= 12; ++m) {
            // Languages that inflect month names write one form in dates and list the other.
            names[static_cast<std::size_t>(m - 1)] = {
                locale.monthName(m, QLocale::LongFormat),
                locale.standaloneMonthName(m, QLocale::LongFormat),
                english.monthName(m, QLocale::LongFormat)};
        }
        made_for = locale;
    }
    return names;
}

std::optional<int> month_number(QStringView name)
{
    const auto &names = month_names();
    for (int m = 1; m <= 12; ++m) {
        for (const QString &known : names[static_cast<std::size_t>(m - 1)]) {
            // Letters are compared one for one, so only a name as long can match.
            if (known.size() == name.size() && name.compare(known, Qt::CaseInsensitive) == 0)
                return m;
        }
    }
    return std::nullopt;
}

std::optional<QDate> valid(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

QStringList month_names()
{
    const QLocale locale;
    QStringList names;
    for (int m = 1; m <= 12; ++m)
        names << locale.monthName(m, QLocale::LongFormat);
    return names;
}

QStringList day_choices()
{
    QStringList days;
    for (int d = 1; d <= 31; ++d)
        days << QString::number(d);
    return days;
}

QStringList year_choices(QDate today)
{
    QStringList years;
    if (!today.isValid())
        return years;
    for (int y = today.year() - year_choice_span; y <= today.year() + year_choice_span; ++y)
        years << four_digit_year(y);
    return years;
}

SplitDate split_date(QDate date)
{
    return {QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')),
            QLocale().monthName(date.month(), QLocale::LongFormat), four_digit_year(date.year())};
}

// QDate::toString uses the C locale: ASCII digits, whatever the user's language.
QString file_date(QDate date)
{
    return date.toString(u"dd/MM/yyyy");
}

std::optional<QDate> parse_file_date(std::string_view text)
{
    const auto first = text.find('/');
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto second = text.find('/', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const auto day = ascii_number(text.substr(0, first), 1, 2);
    const auto month = ascii_number(text.substr(first + 1, second - first - 1), 1, 2);
    const auto year = ascii_number(text.substr(second + 1), 4, 4);
    if (!day || !month || !year)
        return std::nullopt;
    return valid(*year, *month, *day);
}

// QLocale::toString rather than QDate::toString, whose names are always English.
QString long_display(QDate date)
{
    return QLocale().toString(date, u"dddd MMM d yyyy");
}
QString reminder_display(QDate date)
{
    return QLocale().toString(date, u"dddd dd MMMM yyyy");
}
QString report_display(QDate date)
{
    return QLocale().toString(date, u"ddd MMM dd yyyy");
}
QString report_header(QDate date)
{
    return QLocale().toString(date, u"ddd MMMM dd yyyy");
}

std::optional<QDate> parse_split_date(QStringView day, QStringView month, QStringView year)
{
    const auto d = ascii_number(day.trimmed(), 1, 2);
    const auto m = month_number(month.trimmed());
    const auto y = ascii_number(year.trimmed(), 4, 4);
    if (!d || !m || !y)
        return std::nullopt;
    return valid(*y, *m, *d);
}

std::optional<QDate> parse_joined_date(QStringView text)
{
    // A "/" anywhere means the window's form, where an empty part stays a (failing) part;
    // otherwise any run of blanks separates, as in the records' own joined form.
    const QList<QStringView> parts =
        text.contains(u'/') ? text.split(u'/') : text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return std::nullopt;
    return parse_split_date(parts[0], parts[1], parts[2]);
}

} // namespace durnmoor
