#include "core/statements/Schema.h"

#include <QFile>
#include <QRegularExpression>

namespace kestrel::sql {

QList<TableStatement> schemaStatements()
{
    QFile file(QStringLiteral(":/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression tableName(QStringLiteral("^CREATE TABLE `([^`]+)`"));
    QList<TableStatement> statements;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const QRegularExpressionMatch m = tableName.match(line);
        if (m.hasMatch())
            statements.append({m.captured(1), db::Statement(line)});
    }
    return statements;
}

} // namespace kestrel::sql
