#include "core/shared/Money.h"

#include <algorithm>
#include <cstdlib>

namespace kestrel {

namespace {

// Whole digits of the largest amount.
constexpr int MaxWholeDigits = 13;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

std::optional<Money> inRange(__int128 cents)
{
    if (cents > Money::MaxCents || cents < -Money::MaxCents)
        return std::nullopt;
    return Money::fromCents(qint64(cents));
}

} // namespace

Money::Reading Money::read(QStringView text, ExtraDigits extra)
{
    QStringView rest = text.trimmed();
    const bool negative = rest.startsWith(QLatin1Char('-'));
    if (negative)
        rest = rest.sliced(1);
    qsizetype separator = -1;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest.at(i);
        if ((c == QLatin1Char(',') || c == QLatin1Char('.')) && separator < 0)
            separator = i;
        else if (!isDigit(c))
            return {{}, Problem::NotAnAmount};
    }
    const QStringView whole = separator < 0 ? rest : rest.first(separator);
    const QStringView decimals = separator < 0 ? QStringView() : rest.sliced(separator + 1);
    if (whole.isEmpty() && decimals.isEmpty())
        return {{}, Problem::NotAnAmount};

    qsizetype firstDigit = 0;
    while (firstDigit < whole.size() && whole.at(firstDigit) == QLatin1Char('0'))
        ++firstDigit;
    if (whole.size() - firstDigit > MaxWholeDigits)
        return {{}, Problem::TooLarge};
    qint64 cents = 0;
    for (const QChar c : whole)
        cents = cents * 10 + c.digitValue();
    for (int i = 0; i < Decimals; ++i)
        cents = cents * 10 + (i < decimals.size() ? decimals.at(i).digitValue() : 0);

    const QStringView beyond =
        decimals.size() > Decimals ? decimals.sliced(Decimals) : QStringView();
    const bool exact =
        std::all_of(beyond.begin(), beyond.end(), [](QChar c) { return c == QLatin1Char('0'); });
    if (!exact && extra == ExtraDigits::Refuse)
        return {{}, Problem::TooManyDecimals};
    // Half away from zero: the magnitude goes up from a first dropped 5.
    if (!exact && beyond.at(0).digitValue() >= 5)
        ++cents;
    if (cents > MaxCents)
        return {{}, Problem::TooLarge};
    return {Money(negative ? -cents : cents), Problem::None};
}

std::optional<Money> Money::parse(QStringView text)
{
    const Reading reading = read(text);
    return reading ? std::optional(reading.amount) : std::nullopt;
}

std::optional<Money> Money::fromCents(qint64 cents)
{
    if (cents > MaxCents || cents < -MaxCents)
        return std::nullopt;
    return Money(cents);
}

std::optional<Money> Money::plus(Money other) const
{
    return inRange(__int128(m_cents) + other.m_cents);
}

std::optional<Money> Money::times(qint64 quantity) const
{
    return inRange(__int128(m_cents) * quantity);
}

std::optional<Money> Money::scaled(qint64 numerator, qint64 denominator) const
{
    const __int128 product = __int128(m_cents) * numerator;
    __int128 quotient = product / denominator;
    const __int128 remainder = product % denominator;
    const __int128 twice = remainder < 0 ? -2 * remainder : 2 * remainder;
    if (twice >= denominator)
        quotient += product < 0 ? -1 : 1;
    return inRange(quotient);
}

QString Money::digits(QChar separator) const
{
    const qint64 magnitude = std::llabs(m_cents);
    QString text = QString::number(magnitude / CentsPerUnit) + separator
                   + QString::number(magnitude % CentsPerUnit).rightJustified(Decimals, u'0');
    return m_cents < 0 ? QLatin1Char('-') + text : text;
}

db::SqlValue Money::toSql() const
{
    return db::SqlValue::decimal(digits(QLatin1Char('.')));
}

} // namespace kestrel
