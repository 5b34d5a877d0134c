#include "core/shared/Formats.h"

#include <QLocale>
#include <algorithm>

namespace kestrel::fmt {

int twipsToPixels(int twips)
{
    // To the nearest pixel, in whole numbers: no fifteenth is ever a half.
    const int half = TwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / TwipsPerPixel : -((half - twips) / TwipsPerPixel);
}

int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

QString sqlDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString gridDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy. MM. dd."));
}

QString longDate(const QDate &date)
{
    return QLocale(QLocale::English).toString(date, QStringLiteral("yyyy.MMMM.dd"));
}

QString gridMonth(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy. MM."));
}

QString isoWeek(const QDate &date)
{
    int year = 0;
    const int week = date.weekNumber(&year);
    return QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QLatin1Char('0'));
}

std::optional<Money> parseAmount(const QString &text)
{
    return Money::parse(text);
}

std::optional<qint64> parseQuantity(QStringView text)
{
    const QStringView digits = text.trimmed();
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c.isDigit() && c.unicode() < 128;
        }))
        return std::nullopt;
    qint64 quantity = 0;
    for (const QChar c : digits) {
        quantity = quantity * 10 + c.digitValue();
        if (quantity > MaxQuantity)
            return std::nullopt;
    }
    return quantity;
}

bool isStorableDate(const QDate &date)
{
    return date.isValid() && date >= FirstStorableDate && date <= LastStorableDate;
}

QString unreadableAmountMessage(const QString &field)
{
    return field + QStringLiteral(" must be an amount such as 12,50!!!");
}

QString unstorableDateMessage(const QString &field)
{
    return QStringLiteral("%1 must be a date from %2 to %3!!!")
        .arg(field, sqlDate(FirstStorableDate), sqlDate(LastStorableDate));
}

QString unstorableAmountMessage(const QString &field)
{
    return field
           + QStringLiteral(" must be an amount of at most %1 with two decimals!!!")
                 .arg(formatAmount(Money::largest()));
}

QString amountProblem(Money::Problem problem)
{
    switch (problem) {
    case Money::Problem::None:
        break;
    case Money::Problem::NotAnAmount:
        return QStringLiteral("is not a number");
    case Money::Problem::TooManyDecimals:
        return QStringLiteral("has more than two decimals");
    case Money::Problem::TooLarge:
        return QStringLiteral("is larger than %1, the largest amount Kestrel keeps exactly")
            .arg(formatAmount(Money::largest()));
    }
    return QString();
}

QString formatAmount(Money amount)
{
    return amount.digits(QLatin1Char(','));
}

QString tidyAmount(const QString &typed)
{
    // Rounded on the decimal digits as typed, so "0,125" gives "0,13"
    // where the nearest binary fraction would give "0,12".
    const QString plain = typed.trimmed();
    if (plain.startsWith(QLatin1Char('-')))
        return typed;
    const Money::Reading reading = Money::read(plain, Money::ExtraDigits::Round);
    return reading ? formatAmount(reading.amount) : typed;
}

} // namespace kestrel::fmt
