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

// Reads the first eight lines of a parameter file, whole, with CR LF, LF or
// CR line ends.
ParamFile readParamFile(const QString &path);

// The longest value Kestrel passes on. The driver manager hands the
// connection string's length to the driver as a 16-bit number, so a longer
// string reaches it cut short, without the account it names; eight values
// of this many characters (code points, four bytes each at most in UTF-8)
// keep the whole string within it. The settings' boxes hold as many.
constexpr int MaxParamLength = 1000;

// The name of a line (index 0 to 7) as the connection settings show it.
QString paramName(int index);
// The first value longer than MaxParamLength, or -1.
int overLongParam(const QStringList &values);
// What to tell the operator about that value, naming its line in fileName;
// empty when every value fits.
QString overLongMessage(const QStringList &values, const QString &fileName);

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
