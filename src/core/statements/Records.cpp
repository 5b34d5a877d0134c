#include "core/statements/Records.h"

#include "core/shared/Formats.h"

namespace kestrel::sql {

QString identifier(const QString &name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('`'), QStringLiteral("``"));
    return QLatin1Char('`') + escaped + QLatin1Char('`');
}

db::Statement insertRow(const QString &table, const QStringList &columns,
                        std::vector<db::SqlValue> values)
{
    QStringList marks;
    for (size_t i = 0; i < values.size(); ++i)
        marks.append(QStringLiteral("?"));
    return db::Statement(QStringLiteral("INSERT INTO ") + table + QStringLiteral("(ID,")
                             + columns.join(u',') + QStringLiteral(") values(NULL,")
                             + marks.join(u',') + QStringLiteral(")"),
                         std::move(values));
}

db::SqlValue typedAmount(const QString &typed)
{
    const std::optional<Money> amount = fmt::parseAmount(typed);
    return amount ? amount->toSql() : db::SqlValue::text(typed);
}

qint64 insertedId(db::OdbcConnection &connection, const QString &table)
{
    const db::ResultSet row =
        connection.query(db::Statement(QStringLiteral("SELECT ID FROM ") + identifier(table)
                                       + QStringLiteral(" WHERE ID = LAST_INSERT_ID()")));
    if (row.isEmpty())
        throw db::OdbcError(QStringLiteral("40001"),
                            QStringLiteral("the new row is gone: its transaction was undone"),
                            1213);
    return row.rows.front().front().value_or(QString()).toLongLong();
}

db::Statement nextId(const QString &table)
{
    return db::Statement(
        QStringLiteral("SELECT GREATEST(COALESCE(MAX(ID), 0) + 1, COALESCE((SELECT AUTO_INCREMENT "
                       "FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() AND "
                       "TABLE_NAME = ?), 0)) FROM ")
            + identifier(table),
        {db::SqlValue::text(table)});
}

db::Statement deleteRecord(const QString &table, const QString &shownId)
{
    return db::Statement(QStringLiteral("DELETE FROM ") + identifier(table)
                             + QStringLiteral(" WHERE `ID` = ?;"),
                         {db::SqlValue::text(shownId + QLatin1Char(' '))});
}

std::array<db::Statement, 4> serverQuestions()
{
    return {db::Statement(QStringLiteral("SELECT CONNECTION_ID();")),
            db::Statement(QStringLiteral("SELECT USER();")),
            db::Statement(QStringLiteral("SELECT DATABASE();")),
            db::Statement(QStringLiteral("SELECT VERSION();"))};
}

} // namespace kestrel::sql
