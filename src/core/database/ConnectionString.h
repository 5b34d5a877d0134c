#pragma once
// The connection string's own format: pairs of a key, "=", a value and
// ";". A value holding ";" or a brace is written in braces, with "}" doubled,
// so the driver reads it whole.

#include <QString>

namespace kestrel::db {

// The value as the driver should read it: braced when it holds a character
// that would end or open a pair early.
QString connectionValue(const QString &value);

// Splits "STMT=..." out of a connection string. The MariaDB driver ignores
// the key, so the layer runs the statement itself after connecting.
struct SplitConnectionString {
    QString driverString;     // what the driver gets
    QString startupStatement; // empty when none
};
SplitConnectionString splitStartupStatement(const QString &connectionString);

// text with the value of every PASSWORD or PWD pair replaced by "***": for
// anything that may quote a connection string on its way to the log.
QString withoutPasswords(const QString &text);

} // namespace kestrel::db
