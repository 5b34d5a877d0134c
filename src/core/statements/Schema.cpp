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
    static const QRegularExpression indexedTable(
        QStringLiteral("^CREATE INDEX `[^`]+` ON `([^`]+)`"));
    QList<TableStatement> statements;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (const QRegularExpressionMatch m = tableName.match(line); m.hasMatch()) {
            statements.append({m.captured(1), db::Statement(line), {}});
        } else if (const QRegularExpressionMatch m = indexedTable.match(line); m.hasMatch()) {
            for (TableStatement &table : statements) {
                if (table.table == m.captured(1))
                    table.indexes.append(db::Statement(line));
            }
        }
    }
    return statements;
}

void createTable(db::OdbcConnection &connection, const TableStatement &table)
{
    connection.execute(table.statement);
    for (const db::Statement &index : table.indexes)
        connection.execute(index);
}

void createTables(db::OdbcConnection &connection)
{
    for (const TableStatement &table : schemaStatements())
        createTable(connection, table);
}

} // namespace kestrel::sql
