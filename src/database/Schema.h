#pragma once
// The statements that create Kestrel's four tables, in the order they must be
// sent. They live in resources/schema.sql, which the set-up script sends too.

#include <QStringList>

namespace kestrel::db {

struct TableStatement {
    QString table;     // cities, customers, products, turnover
    QString statement; // its CREATE TABLE, exactly as sent
};

QList<TableStatement> schemaStatements();

} // namespace kestrel::db
