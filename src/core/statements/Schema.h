#pragma once
// The statements that create Kestrel's four tables, in the order they must be
// sent, each with the indexes that follow it. They live in
// resources/schema.sql, which the set-up script sends too.

#include "core/database/Statement.h"

#include <QList>

namespace kestrel::sql {

struct TableStatement {
    QString table;           // cities, customers, products, turnover
    db::Statement statement; // its CREATE TABLE, exactly as sent
    // Its CREATE INDEX statements, sent right after it.
    QList<db::Statement> indexes;
};

QList<TableStatement> schemaStatements();

} // namespace kestrel::sql
