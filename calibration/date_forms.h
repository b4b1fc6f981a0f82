#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <string_view>

namespace durnmoor {

// Every form in which a date is stored in the data files or shown to the user. Names of
// weekdays and months come from QLocale() (the system's language in the program); the
// numeric forms are always ASCII digits, day first.

// The entries of the three date lists.
QStringList month_names();             // January first, full names
QStringList day_choices();             // "1" .. "31", no leading zero
QStringList year_choices(QDate today); // today's year - 100 .. + 100, four digits each

// A date as the three texts of the date lists and of the products file.
struct SplitDate {
    QString day;   // two digits: "05"
    QString month; // full month name: "December"
    QString year;  // four digits: "2026"
};

SplitDate split_date(QDate date);

// "05/12/2026", the form of the history file.
QString file_date(QDate date);
// Reads a file date day first, "/" as separator whatever the system's conventions. Day and
// month may have one or two digits (hand-edited files drop the zero), the year has four;
// nothing else is allowed, not even blanks. Dates that do not exist give nullopt.
std::optional<QDate> parse_file_date(std::string_view text);

QString long_display(QDate date);     // "Saturday Dec 5 2026"
QString reminder_display(QDate date); // "Saturday 05 December 2026"
QString report_display(QDate date);   // "Sat Dec 05 2026"
QString report_header(QDate date);    // "Sat December 05 2026"

// Reads the three texts of a split date. The day is 1 to 31 with or without a leading zero,
// the month a full name (the language's own or English, since stored files hold English
// names; case does not matter), the year four digits; blanks around each part are ignored.
// Anything else, or a day the month does not have, gives nullopt.
std::optional<QDate> parse_split_date(QStringView day, QStringView month, QStringView year);

// The three texts joined by "/" ("05/December/2026") or by blanks ("5 December 2026").
std::optional<QDate> parse_joined_date(QStringView text);

} // namespace durnmoor
