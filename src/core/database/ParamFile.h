#pragma once
// The connection parameter files (ConnParam.ini, DefConnParam.ini): eight
// lines, one value each, in a fixed order; no keys, no quoting.

#include <QString>
#include <QStringList>

namespace kestrel::db {

constexpr int ParamCount = 8;

inline const QString ParamFileName = QStringLiteral("ConnParam.ini");
inline const QString DefaultParamFileName = QStringLiteral("DefConnParam.ini");

struct ParamFile {
    bool found = false; // the file could be opened
    QStringList values; // always ParamCount entries; missing lines are empty
};

// Reads the first eight lines of a parameter file, with LF or CRLF line ends.
ParamFile readParamFile(const QString &path);

// Writes the eight values, each ended by CRLF, through a temporary file that
// replaces the old one only when complete, readable by its owner only.
// Returns false and fills error when the file could not be written.
bool writeParamFile(const QString &path, const QStringList &values, QString *error = nullptr);

} // namespace kestrel::db
