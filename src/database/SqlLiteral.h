#pragma once
// The one place where values become SQL text.

#include <QString>

namespace kestrel::db {

// A value as a quoted SQL string literal: 'O\'Brien'. Quotes and backslashes
// are escaped, so what the operator typed is stored exactly.
QString sqlQuote(const QString &value);

// A table or column name as a quoted identifier: `name`.
QString sqlIdentifier(const QString &name);

} // namespace kestrel::db
