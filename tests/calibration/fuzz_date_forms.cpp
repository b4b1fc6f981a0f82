// Any text as a file date, as the three texts of a split date and an interval, and as a
// joined date: every date read is written back in a form that reads as the same date, and
// the due date keeps to the calendar-month rule.
#include "calibration/date_forms.h"
#include "calibration/due_date.h"
#include "text/number_form.h"

#include "fuzz_support.h"

#include <string>

using namespace durnmoor;
using fuzz::require;

namespace {

void require_written_forms_read_back(QDate date)
{
    require(date.isValid());
    const QString stored = file_date(date);
    require(parse_file_date(stored.toStdString()) == date);
    const SplitDate split = split_date(date);
    require(parse_split_date(split.day, split.month, split.year) == date);
    require(parse_joined_date(split.day + u'/' + split.month + u'/' + split.year) == date);
    require(parse_joined_date(split.day + u' ' + split.month + u' ' + split.year) == date);
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    if (const auto date = parse_file_date(text)) {
        require_written_forms_read_back(*date);
        // Only the written form is read, give or take the zeros before day and month.
        QStringList written =
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).split(u'/');
        require(written.size() == 3);
        written[0] = written[0].rightJustified(2, u'0');
        written[1] = written[1].rightJustified(2, u'0');
        require(written.join(u'/') == file_date(*date));
    }
    if (const auto date = parse_joined_date(fuzz::utf8(text)))
        require_written_forms_read_back(*date);

    QStringList parts;
    for (const std::string_view part : fuzz::lines(text, 4))
        parts << fuzz::utf8(part);
    const auto last = parse_split_date(parts[0], parts[1], parts[2]);
    if (last)
        require_written_forms_read_back(*last);
    const QByteArray interval = parts[3].toUtf8();
    const auto due = due_date(parts[0], parts[1], parts[2],
                              std::string_view(interval.constData(), interval.size()));
    if (!due)
        return;
    require(last.has_value());
    // The day stays, or becomes the last day of a shorter month.
    require(due->day() == last->day() ||
            (due->day() < last->day() && due->day() == due->daysInMonth()));
    // month_distance counts a year 0 that the calendar lacks.
    const int months = static_cast<int>(leading_number(interval.toStdString()));
    if (due->year() > 0)
        require(month_distance(*last, *due) == months);
}
