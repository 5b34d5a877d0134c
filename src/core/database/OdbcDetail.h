#pragma once
// What the ODBC layer's own files share; nothing outside core/database
// includes this.

#include "core/database/Odbc.h"

#include <sql.h>
#include <sqlext.h>

namespace kestrel::db::detail {

// Throws OdbcError with the handle's diagnostics unless rc reports success.
void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char *what);
// The diagnostic records of a handle as one text; the first record's
// SQLSTATE goes to sqlState, its server error number to nativeError.
QString diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, QString *sqlState,
                    int *nativeError = nullptr);

std::vector<Column> describeColumns(SQLHSTMT stmt);
// Hands every row of the executed statement to onRow, in blocks where the
// driver allows it, field by field otherwise.
void fetchRows(SQLHSTMT stmt, size_t columnCount, const std::function<void(const Row &)> &onRow);

} // namespace kestrel::db::detail
