#pragma once
// The connection string's own format: pairs of a key, "=", a value and
// ";". A value holding ";" or a brace is written in braces, with "}" doubled,
// so the driver reads it whole.

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrel::db {

// The value as the driver should read it: braced when it holds a character
// that would end or open a pair early.
QString connectionValue(const QString &value);

// One pair of a connection string: its key and value as the driver reads
// them, and the pair exactly as written (for putting the string together
// again unchanged).
struct ConnectionPair {
    QString key;   // blanks around it removed
    QString value; // braces taken off, "}}" read as "}"
    QString written;
};

// Reads a connection string pair by pair; a braced value may hold ";" and
// "=", so nothing inside the braces is taken for a pair of its own.
std::vector<ConnectionPair> parseConnectionString(const QString &connectionString);

// Splits "STMT=..." out of a connection string. The MariaDB driver ignores
// the key, so the layer runs the statement itself after connecting.
struct SplitConnectionString {
    QString driverString;     // what the driver gets
    QString startupStatement; // empty when none
};
SplitConnectionString splitStartupStatement(const QString &connectionString);

// The statements of a start-up value, in order: split at each ";" that is
// not inside quotes, backticks or a comment. Empty statements, and those
// that are nothing but comments, are left out.
QStringList startupStatements(const QString &startupValue);

// text with the value of every PASSWORD or PWD pair replaced by "***": for
// anything that may quote a connection string on its way to the log.
QString withoutPasswords(const QString &text);

} // namespace kestrel::db
