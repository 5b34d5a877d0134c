#include "core/database/ConnectionString.h"

#include <QRegularExpression>

namespace kestrel::db {

QString connectionValue(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{'))
        && !value.contains(QLatin1Char('}')))
        return value;
    QString escaped = value;
    escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

SplitConnectionString splitStartupStatement(const QString &connectionString)
{
    // A STMT pair is either braced (STMT={...};) or runs to the next ';'.
    static const QRegularExpression pair(
        QStringLiteral("(^|;)\\s*STMT\\s*=\\s*(\\{((?:[^}]|\\}\\})*)\\}|([^;]*))(;|$)"),
        QRegularExpression::CaseInsensitiveOption);
    SplitConnectionString result;
    const QRegularExpressionMatch m = pair.match(connectionString);
    if (!m.hasMatch()) {
        result.driverString = connectionString;
        return result;
    }
    result.startupStatement = m.capturedStart(3) >= 0
                                  ? m.captured(3).replace(QStringLiteral("}}"), QStringLiteral("}"))
                                  : m.captured(4);
    result.driverString = connectionString.left(m.capturedStart(0)) + m.captured(1)
                          + connectionString.mid(m.capturedEnd(0));
    return result;
}

QString withoutPasswords(const QString &text)
{
    static const QRegularExpression pair(
        QStringLiteral("\\b(PASSWORD|PWD)(\\s*=\\s*)(\\{(?:[^}]|\\}\\})*\\}?|[^;]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString result = text;
    return result.replace(pair, QStringLiteral("\\1\\2***"));
}

} // namespace kestrel::db
