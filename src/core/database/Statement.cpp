#include "core/database/Statement.h"

#include <QRegularExpression>

namespace kestrel::db {

SqlValue SqlValue::null()
{
    return {};
}

SqlValue SqlValue::text(const QString &text)
{
    SqlValue v;
    v.m_kind = Kind::Text;
    v.m_text = text;
    return v;
}

SqlValue SqlValue::integer(qint64 value)
{
    SqlValue v;
    v.m_kind = Kind::Integer;
    v.m_integer = value;
    v.m_text = QString::number(value);
    return v;
}

SqlValue SqlValue::decimal(const QString &pointText)
{
    // "12." and ".5" are numbers too; they are bound as "12" and "0.5".
    static const QRegularExpression number(QStringLiteral("^(-?)([0-9]*)(?:\\.([0-9]*))?$"));
    const QRegularExpressionMatch m = number.match(pointText);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return null();
    SqlValue v;
    v.m_kind = Kind::Decimal;
    v.m_text = m.captured(1) + (m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2));
    if (!m.captured(3).isEmpty())
        v.m_text += QLatin1Char('.') + m.captured(3);
    return v;
}

SqlValue SqlValue::date(const QDate &date)
{
    if (!date.isValid())
        return null();
    SqlValue v;
    v.m_kind = Kind::Date;
    v.m_date = date;
    v.m_text = date.toString(QStringLiteral("yyyy-MM-dd"));
    return v;
}

QString SqlValue::literal() const
{
    switch (m_kind) {
    case Kind::Null:
        return QStringLiteral("NULL");
    case Kind::Integer:
    case Kind::Decimal:
        return m_text;
    case Kind::Text:
    case Kind::Date:
        break;
    }
    QString quoted = m_text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString Statement::rendered() const
{
    QString out;
    out.reserve(sql.size());
    size_t next = 0;
    QChar quote;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('`') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
        } else if (c == QLatin1Char('?') && next < params.size()) {
            out += params[next++].literal();
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace kestrel::db
