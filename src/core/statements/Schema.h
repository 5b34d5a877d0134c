#pragma once
// The statements that create Kestrel's four tables, in the order they must be
// sent, each with the indexes that follow it. They live in
// resources/schema.sql, which the set-up script sends too.

#include "core/database/Odbc.h"

#include <QList>

namespace kestrel::sql {

struct TableStatement {
    QString table;           // cities, customers, products, turnover
    db::Statement statement; // its CREATE TABLE, exactly as sent
    // Its CREATE INDEX statements, sent right after it.
    QList<db::Statement> indexes;
};

QList<TableStatement> schemaStatements();

// Sends a table's CREATE TABLE, then its indexes.
void createTable(db::OdbcConnection &connection, const TableStatement &table);
// Creates the four tables with their indexes, in order.
void createTables(db::OdbcConnection &connection);

} // namespace kestrel::sql
