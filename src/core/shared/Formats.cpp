#include "core/shared/Formats.h"

#include <QLocale>
#include <cmath>

namespace kestrel::fmt {

int twipsToPixels(int twips)
{
    return int(std::lround(double(twips) / TwipsPerPixel));
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

std::optional<double> parseAmount(const QString &text)
{
    QString normal = text.trimmed();
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
    if (normal.isEmpty() || normal.count(QLatin1Char('.')) > 1)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(normal, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString amountForSql(const QString &typed)
{
    if (!parseAmount(typed))
        return typed;
    QString out = typed.trimmed();
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    return out;
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

QString formatAmount(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

} // namespace kestrel::fmt
