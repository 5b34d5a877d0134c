#pragma once
// Statements on single records: inserting a new row and reading the ID it
// got, the highest ID of a table, deleting a record, and the questions the
// connection test asks.
// Table and column names are fixed text of this module; every value is bound.

#include "core/database/Odbc.h"

#include <QStringList>
#include <array>

namespace kestrel::sql {

// "INSERT INTO table(ID,col1,...) values(NULL,?,...)": the server numbers the
// row, in its strict mode too.
db::Statement insertRow(const QString &table, const QStringList &columns,
                        std::vector<db::SqlValue> values);

// An amount as the operator typed it, with a decimal comma: bound as the
// exact Money it is ("1,2" as 1.20); text that is no amount Kestrel keeps is
// bound as typed, so the server judges it.
db::SqlValue typedAmount(const QString &typed);

// The ID the server gave the row this connection inserted last into table,
// read back from the table inside the running transaction. On a Galera node
// a statement that reads no table (a bare SELECT LAST_INSERT_ID()) can
// succeed although the node has just undone the transaction for one from
// another node; the statements after it would then run in a new transaction
// and commit half a save. Read through the table, the abort is reported, and
// a row that is gone all the same is reported as a lost transaction
// (error 1213), which is tried again.
qint64 insertedId(db::OdbcConnection &connection, const QString &table);

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
