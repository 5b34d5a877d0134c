#pragma once
// The connection parameter files (ConnParam.ini, DefConnParam.ini): eight
// lines, one value each, in a fixed order; no keys, no quoting.

#include <QString>
#include <QStringList>

namespace kestrel::db {

constexpr int ParamCount = 8;

inline const QString ParamFileName = QStringLiteral("ConnParam.ini");
inline const QString DefaultParamFileName = QStringLiteral("DefConnParam.ini");

// Files written by hand or by older tools are often single-byte text; such a
// file is read, and written back, as Windows-1252.
enum class ParamEncoding { Utf8, Windows1252 };

struct ParamFile {
    bool found = false; // the file could be opened
    QStringList values; // always ParamCount entries; missing lines are empty
    // UTF-8 when the file is valid UTF-8 (or missing), Windows-1252 otherwise.
    ParamEncoding encoding = ParamEncoding::Utf8;
};

// Reads the first eight lines of a parameter file, with LF or CRLF line ends.
ParamFile readParamFile(const QString &path);

// Writes the eight values, each ended by CRLF, through a temporary file that
// replaces the old one only when complete, readable by its owner only. A
// value that Windows-1252 cannot hold makes the whole file UTF-8, so nothing
// typed is lost. Returns false and fills error when the file could not be
// written.
bool writeParamFile(const QString &path, const QStringList &values, QString *error = nullptr,
                    ParamEncoding encoding = ParamEncoding::Utf8);

// Windows-1252 both ways. Encoding text that holds a character Windows-1252
// has no byte for sets ok to false and gives nothing.
QString decodeWindows1252(const QByteArray &bytes);
QByteArray encodeWindows1252(const QString &text, bool *ok);

} // namespace kestrel::db
