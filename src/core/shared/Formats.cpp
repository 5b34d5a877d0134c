#include "core/shared/Formats.h"

#include <QLocale>
#include <QRegularExpression>
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

QString tidyAmount(const QString &typed)
{
    static const QRegularExpression plain(QStringLiteral("^([0-9]*)[,.]?([0-9]*)$"));
    const QRegularExpressionMatch m = plain.match(typed.trimmed());
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty()))
        return typed;
    // Rounded on the decimal digits as typed, so "0,125" gives "0,13"
    // where the nearest double would give "0,12".
    const QString decimals = m.captured(2);
    QString cents = m.captured(1) + (decimals + QStringLiteral("00")).left(2);
    if (decimals.size() > 2 && decimals.at(2) >= QLatin1Char('5')) {
        qsizetype i = cents.size() - 1;
        while (i >= 0 && cents.at(i) == QLatin1Char('9'))
            cents[i--] = QLatin1Char('0');
        if (i < 0)
            cents.prepend(QLatin1Char('1'));
        else
            cents[i] = QChar(cents.at(i).unicode() + 1);
    }
    QString whole = cents.left(cents.size() - 2);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    return whole + QLatin1Char(',') + cents.right(2);
}

} // namespace kestrel::fmt
