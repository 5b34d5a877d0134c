#pragma once
// Kestrel's one convention for numbers, dates and window lengths, whatever the
// system locale: amounts with a decimal comma ("12,50"), grid dates as
// "yyyy. mm. dd.", statement dates as "yyyy-mm-dd", English month names,
// lengths in twips at 15 twips per pixel.

#include "core/shared/Money.h"

#include <QDate>
#include <QString>
#include <optional>

namespace kestrel::fmt {

constexpr int TwipsPerPixel = 15;
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

// "2008-03-05", as statements carry dates.
QString sqlDate(const QDate &date);
// "2008. 03. 05.", as grids show dates written by the date editor.
QString gridDate(const QDate &date);
// "2008.March.05", as report captions name days.
QString longDate(const QDate &date);
// "2008. 03.", a month as the grids' dates begin.
QString gridMonth(const QDate &date);
// "2009-W01", the ISO week that holds date: weeks begin on Monday, and the
// first week of a year is the one that holds its first Thursday.
QString isoWeek(const QDate &date);

// Reads an amount typed with a decimal comma (a point is taken too) as
// the Money it is (core/shared/Money.h): nullopt for text that is no
// amount, has more than two decimals or is beyond the largest amount.
std::optional<Money> parseAmount(const QString &text);

// Quantities are whole units. The largest Kestrel keeps: 15 digits, which
// the server's DOUBLE(255,0) columns hold exactly.
constexpr qint64 MaxQuantity = 999'999'999'999'999;
// Reads a quantity: digits only, blanks around; nullopt for anything else
// and beyond MaxQuantity.
std::optional<qint64> parseQuantity(QStringView text);

// The days a DATE column holds: a date outside them is refused before
// anything is sent.
inline const QDate FirstStorableDate(1000, 1, 1);
inline const QDate LastStorableDate(9999, 12, 31);
bool isStorableDate(const QDate &date);

// The messages of the checks every form makes before it saves, naming the
// field: "Price must be an amount such as 12,50!!!" and "Joined must be a
// date from 1000-01-01 to 9999-12-31!!!".
QString unreadableAmountMessage(const QString &field);
// "Price must be an amount of at most 9999999999999,99 with two decimals!!!"
// for an amount Money cannot keep.
QString unstorableAmountMessage(const QString &field);
// What is wrong with a text that is no amount Kestrel keeps, to follow a
// quoted text: "is not a number", "has more than two decimals", "is larger
// than 9999999999999,99, the largest amount Kestrel keeps exactly".
QString amountProblem(Money::Problem problem);
QString unstorableDateMessage(const QString &field);

// An amount as Kestrel shows it: a decimal comma and two decimals
// ("12,50", "-0,30").
QString formatAmount(Money amount);

// A typed amount written out as "####0.00" has it: at least one whole
// digit, exactly two decimals, rounded half up on the digits typed ("12,5"
// -> "12,50", "7" -> "7,00", "0,125" -> "0,13"). Text that is not a plain
// amount (a sign, several separators, no digit, beyond the largest amount)
// comes back unchanged.
QString tidyAmount(const QString &typed);

} // namespace kestrel::fmt
