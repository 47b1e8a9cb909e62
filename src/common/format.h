#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// French screen formats and the storage formats of dates, in one place.
namespace Format {

// The date a missing row gives ("zero date" of the old file format: 30/12/1899).
QDate zeroDate();

// Short date on screen: dd/MM/yyyy. An invalid date gives the empty text.
QString date(const QDate &date);
// Parses dd/MM/yyyy (also d/M/yyyy); invalid QDate when the text is not a date.
QDate parseDate(const QString &text);

// Storage: ISO text YYYY-MM-DD, and YYYY-MM-DD HH:MM:SS for date and time.
QString isoDate(const QDate &date);
QString isoDateTime(const QDateTime &dateTime);
// Accepts both storage forms (the time part is ignored); invalid when neither.
QDate fromIsoDate(const QString &text);

// General number format with a decimal comma: up to 15 significant digits,
// no grouping, no trailing zeros ("1234,5", "11,96", "20").
QString number(double value);

// Parses an amount typed with "," or "." as decimal separator, blanks trimmed.
// Grouping is refused. Sets *ok; returns 0 when the text is not a number.
double parseAmount(const QString &text, bool *ok = nullptr);

// Amounts on documents: exactly two decimals and a point ("12.50").
QString amount2(double value);

// Rounds to two decimals, halves away from zero, tolerant of binary noise:
// 11.955 (stored as 11.95499999...) rounds to 11.96 as on a calculator.
double roundAmount(double value);

// French day and month names ("Lundi", "janvier"), independent of the system locale.
QString dayName(int dayOfWeek);     // 1 = Lundi .. 7 = Dimanche
QString monthName(int month);       // 1 = janvier .. 12 = décembre

} // namespace Format
