#pragma once
// An amount of money as Kestrel keeps it: a whole number of cents, exact,
// never a binary fraction. Every amount Kestrel computes, compares or shows
// is a Money; the database sees it only as the decimal text it binds.
//
// The range is what the server keeps exactly. Prices live in DOUBLE(255,2)
// columns, binary64 numbers: they hold any decimal of 15 significant digits
// and give it back digit for digit, but not every one of 16 (the server
// stores 99999999999999.99 as 99999999999999.98). So Kestrel keeps amounts up to
// 9 999 999 999 999,99 (13 whole digits and the cents), and refuses anything
// beyond rather than let the server round it. Arithmetic that would leave
// the range says so (nullopt) instead of wrapping or rounding.

#include "core/database/Statement.h"

#include <QString>
#include <QStringView>
#include <compare>
#include <optional>

namespace kestrel {

class Money {
public:
    // Decimals of every amount, and the cents in one unit.
    static constexpr int Decimals = 2;
    static constexpr qint64 CentsPerUnit = 100;
    // The largest amount Kestrel keeps exactly, in cents (15 digits).
    static constexpr qint64 MaxCents = 999'999'999'999'999;

    // Why a text is no amount Kestrel can keep.
    enum class Problem { None, NotAnAmount, TooManyDecimals, TooLarge };
    // Digits beyond the cents: refused, or rounded half away from zero.
    enum class ExtraDigits { Refuse, Round };

    // An amount read from text, or the problem that kept it from being one.
    struct Reading;

    constexpr Money() = default;

    // Reads digits with at most one decimal comma or point ("12,5", "12.50",
    // ",5", "12,"), an optional leading minus and blanks around. Trailing
    // zeros beyond the cents are no extra digits ("1,500" is 1,50).
    static Reading read(QStringView text, ExtraDigits extra = ExtraDigits::Refuse);
    // The amount in text, or nullopt when read() finds any problem.
    static std::optional<Money> parse(QStringView text);
    // Nullopt beyond the range.
    static std::optional<Money> fromCents(qint64 cents);
    static constexpr Money zero() { return Money(); }
    // Whole units; for fixed amounts such as a ceiling (must be in range).
    static constexpr Money units(qint64 whole) { return Money(whole * CentsPerUnit); }
    static constexpr Money largest() { return Money(MaxCents); }

    constexpr qint64 cents() const { return m_cents; }
    constexpr bool isNegative() const { return m_cents < 0; }

    // The sum, or nullopt beyond the range.
    std::optional<Money> plus(Money other) const;
    // The amount times a whole quantity, or nullopt beyond the range.
    std::optional<Money> times(qint64 quantity) const;
    // The amount times numerator / denominator (denominator > 0), rounded
    // half away from zero to the cent, or nullopt beyond the range.
    std::optional<Money> scaled(qint64 numerator, qint64 denominator) const;

    // The digits with the given decimal separator and always two decimals:
    // "-12,50". Shown amounts go through fmt::formatAmount, which picks the
    // separator.
    QString digits(QChar separator) const;
    // The exact decimal the server binds: "12.50".
    db::SqlValue toSql() const;

    friend constexpr auto operator<=>(Money, Money) = default;

private:
    constexpr explicit Money(qint64 cents) : m_cents(cents) {}
    qint64 m_cents = 0;
};

struct Money::Reading {
    Money amount;
    Problem problem = Problem::None;
    explicit operator bool() const { return problem == Problem::None; }
};

} // namespace kestrel
