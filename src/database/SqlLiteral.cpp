#include "SqlLiteral.h"

namespace kestrel::db {

QString sqlQuote(const QString &value)
{
    QString out;
    out.reserve(value.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\'':
            out += QStringLiteral("\\'");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case 0:
            out += QStringLiteral("\\0");
            break;
        default:
            out += c;
        }
    }
    out += QLatin1Char('\'');
    return out;
}

QString sqlIdentifier(const QString &name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('`'), QStringLiteral("``"));
    return QLatin1Char('`') + escaped + QLatin1Char('`');
}

} // namespace kestrel::db
