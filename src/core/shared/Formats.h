#pragma once
// Kestrel's one convention for numbers, dates and window lengths, whatever the
// system locale: amounts with a decimal comma ("12,50"), grid dates as
// "yyyy. mm. dd.", statement dates as "yyyy-mm-dd", English month names,
// lengths in twips at 15 twips per pixel.

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

// Reads an amount typed with a decimal comma (a point is taken too).
// Empty text, a lone comma or several separators give nullopt.
std::optional<double> parseAmount(const QString &text);

// An amount as SQL reads it: the typed text with its decimal comma turned
// into a point ("1,20" -> "1.20"). Text that is no amount is returned as is.
QString amountForSql(const QString &typed);

// The days a DATE column holds: a date outside them is refused before
// anything is sent.
inline const QDate FirstStorableDate(1000, 1, 1);
inline const QDate LastStorableDate(9999, 12, 31);
bool isStorableDate(const QDate &date);

// The messages of the checks every form makes before it saves, naming the
// field: "Price must be an amount such as 12,50!!!" and "Joined must be a
// date from 1000-01-01 to 9999-12-31!!!".
QString unreadableAmountMessage(const QString &field);
QString unstorableDateMessage(const QString &field);

// An amount with the decimal comma and the given number of decimals.
QString formatAmount(double value, int decimals = 2);

// A typed amount written out as "####0.00" has it: at least one whole
// digit, exactly two decimals, rounded half up on the digits typed ("12,5"
// -> "12,50", "7" -> "7,00", "0,125" -> "0,13"). Text that is not a plain
// amount (a sign, several separators, no digit) comes back unchanged.
QString tidyAmount(const QString &typed);

} // namespace kestrel::fmt
