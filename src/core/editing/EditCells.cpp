#include "core/editing/EditCells.h"

#include "core/shared/FieldText.h"
#include "core/shared/Formats.h"
#include "core/shared/TextLimits.h"

#include <sql.h>
#include <sqlext.h>

#include <QRegularExpression>
#include <limits>

namespace kestrel::edit {

FieldKind fieldKind(int sqlType)
{
    if (isDate(sqlType))
        return FieldKind::Date;
    if (isDecimal(sqlType))
        return FieldKind::Decimal;
    switch (sqlType) {
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT:
        return FieldKind::Integer;
    default:
        return FieldKind::Text;
    }
}

QString cellText(const db::Value &value, int sqlType)
{
    return value ? fieldText(value, sqlType) : UnknownText;
}

QByteArrayView cellText(QByteArrayView utf8, bool null, int sqlType, QByteArray &scratch)
{
    static const QByteArray unknown = UnknownText.toUtf8();
    return null ? QByteArrayView(unknown) : fieldText(utf8, false, sqlType, scratch);
}

std::optional<QDate> cellDate(QStringView text)
{
    for (const QString &format : {QStringLiteral("yyyy. MM. dd."), QStringLiteral("yyyy-MM-dd")}) {
        const QDate date = QDate::fromString(text.toString(), format);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

namespace {

// Kestrel's amounts of money; its other decimal columns hold whole units.
bool isMoneyField(const QString &field)
{
    return field.compare(QLatin1String("Price"), Qt::CaseInsensitive) == 0
           || field.compare(QLatin1String("PricewTax"), Qt::CaseInsensitive) == 0;
}

QString notWholeNumber(qint64 least, qint64 most)
{
    return QStringLiteral("is not a whole number from %1 to %2").arg(least).arg(most);
}

// The range of an integer column of this type.
std::pair<qint64, qint64> integerRange(int sqlType, bool isUnsigned)
{
    const int bits = sqlType == SQL_TINYINT    ? 8
                     : sqlType == SQL_SMALLINT ? 16
                     : sqlType == SQL_BIGINT   ? 64
                                               : 32;
    if (bits == 64)
        return {isUnsigned ? 0 : std::numeric_limits<qint64>::min(),
                std::numeric_limits<qint64>::max()};
    const qint64 span = qint64(1) << bits;
    return isUnsigned ? std::pair<qint64, qint64>{0, span - 1}
                      : std::pair<qint64, qint64>{-span / 2, span / 2 - 1};
}

std::variant<db::SqlValue, QString> integerValue(const FieldRule &rule, const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^\\s*-?[0-9]+\\s*$"));
    const auto [least, most] = integerRange(rule.sqlType, rule.isUnsigned);
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!digits.match(text).hasMatch() || !ok || value < least || value > most)
        return notWholeNumber(least, most);
    return db::SqlValue::integer(value);
}

std::variant<db::SqlValue, QString> decimalValue(const FieldRule &rule, const QString &text)
{
    if (!rule.money) {
        const std::optional<qint64> quantity = fmt::parseQuantity(text);
        if (!quantity)
            return notWholeNumber(0, fmt::MaxQuantity);
        return db::SqlValue::integer(*quantity);
    }
    const Money::Reading amount = Money::read(text);
    if (!amount)
        return fmt::amountProblem(amount.problem);
    if (rule.isUnsigned && amount.amount.isNegative())
        return QStringLiteral("is below zero");
    return amount.amount.toSql();
}

} // namespace

FieldRule fieldRule(const QString &field, const db::Column &column)
{
    return {fieldKind(column.sqlType), column.sqlType, column.length, isMoneyField(field),
            column.isUnsigned};
}

std::variant<db::SqlValue, QString> storableValue(const FieldRule &rule, const QString &text)
{
    switch (rule.kind) {
    case FieldKind::Text:
        if (rule.characters > 0 && characterCount(text) > rule.characters)
            return QStringLiteral("is longer than %1 characters").arg(rule.characters);
        return db::SqlValue::text(text);
    case FieldKind::Integer:
        return integerValue(rule, text);
    case FieldKind::Decimal:
        return decimalValue(rule, text);
    case FieldKind::Date:
        if (const std::optional<QDate> date = cellDate(text); date && fmt::isStorableDate(*date))
            return db::SqlValue::date(*date);
        return QStringLiteral("is not a date from %1 to %2")
            .arg(fmt::sqlDate(fmt::FirstStorableDate), fmt::sqlDate(fmt::LastStorableDate));
    }
    return QString();
}

bool sameValue(const db::Value &stored, int sqlType, QAnyStringView text)
{
    if (!stored)
        return text == UnknownText;
    const FieldKind kind = fieldKind(sqlType);
    if (kind == FieldKind::Text)
        return text == *stored;
    // The usual case: the cell still reads as the grid wrote the value.
    if (text == fieldText(stored, sqlType))
        return true;
    if (kind == FieldKind::Date) {
        const std::optional<QDate> typed = cellDate(text.toString());
        const QDate held = QDate::fromString(*stored, Qt::ISODate);
        return typed && held.isValid() && *typed == held;
    }
    // Numbers compare exactly: as amounts where both read as one, else as
    // whole quantities.
    const QString typed = text.toString();
    const std::optional<Money> typedAmount = Money::parse(typed),
                               heldAmount = Money::parse(*stored);
    if (typedAmount && heldAmount)
        return *typedAmount == *heldAmount;
    const std::optional<qint64> typedUnits = fmt::parseQuantity(typed);
    return typedUnits && typedUnits == fmt::parseQuantity(*stored);
}

QString quoted(const QString &text)
{
    constexpr int MostShown = 40;
    if (characterCount(text) <= MostShown)
        return text;
    qsizetype cursor = text.size();
    return fitToLimit(text, MostShown - 3, &cursor) + QStringLiteral("...");
}

} // namespace kestrel::edit
