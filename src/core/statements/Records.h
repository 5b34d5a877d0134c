#pragma once
// Statements on single records: inserting a new row, the highest ID of a
// table, deleting a record, and the questions the connection test asks.
// Table and column names are fixed text of this module; every value is bound.

#include "core/database/Statement.h"

#include <QStringList>
#include <array>

namespace kestrel::sql {

// "INSERT INTO table(ID,col1,...) values(NULL,?,...)": the server numbers the
// row, in its strict mode too.
db::Statement insertRow(const QString &table, const QStringList &columns,
                        std::vector<db::SqlValue> values);

// An amount as the operator typed it, with a decimal comma: bound as the
// number it is ("1,20" as 1.20); text that is no amount is bound as typed,
// so the server judges it.
db::SqlValue typedAmount(const QString &typed);

// The ID the server gives the table's next new row: the highest ID plus
// one, or the table's auto-increment counter where that is further on (rows
// of a sale that was rolled back used up their IDs). The highest ID comes
// from the key's index, whatever the table's size.
db::Statement nextId(const QString &table);

// "DELETE FROM `table` WHERE `ID` = ?;" with the ID as the list shows it,
// followed by a blank, bound as text: the server reads the text as the
// number it starts with, so the statement reads "... = '17 ';".
db::Statement deleteRecord(const QString &table, const QString &shownId);

// The connection test's questions, in the order it asks them: connection ID,
// user and host, database, server version.
std::array<db::Statement, 4> serverQuestions();

// A table or column name as a quoted identifier: `name`.
QString identifier(const QString &name);

} // namespace kestrel::sql
