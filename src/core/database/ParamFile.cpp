#include "core/database/ParamFile.h"

#include "core/shared/TextLimits.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <iterator>

namespace kestrel::db {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F. The five bytes it
// leaves undefined keep their Latin-1 (control character) meaning.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder(bytes);
    return !decoder.hasError();
}

QByteArray encoded(const QStringList &values, ParamEncoding encoding, bool *ok)
{
    QByteArray out;
    *ok = true;
    for (int i = 0; i < ParamCount && *ok; ++i) {
        const QString value = values.value(i);
        out += encoding == ParamEncoding::Utf8 ? value.toUtf8() : encodeWindows1252(value, ok);
        out += "\r\n";
    }
    return out;
}

// The lines of a text as any editor writes them: ended by CR LF, LF or CR
// alone. The piece after the last line end is a line only if it holds
// something.
QList<QByteArray> textLines(const QByteArray &content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (c == '\r' && i + 1 < content.size() && content.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size())
        lines.append(content.mid(start));
    return lines;
}

} // namespace

QString paramName(int index)
{
    static const char *const names[ParamCount] = {
        "Data Source Name", "Description", "DataBase Name",         "Host/Server Name", "User",
        "Password",         "Port",        "SQL Command on Connect"};
    return index >= 0 && index < ParamCount ? QString::fromLatin1(names[index]) : QString();
}

int overLongParam(const QStringList &values)
{
    for (int i = 0; i < ParamCount && i < values.size(); ++i) {
        if (characterCount(values.at(i)) > MaxParamLength)
            return i;
    }
    return -1;
}

QString overLongMessage(const QStringList &values, const QString &fileName)
{
    const int index = overLongParam(values);
    if (index < 0)
        return QString();
    return QStringLiteral("Line %1 (%2) of %3 holds %4 characters, more than the %5 Kestrel "
                          "passes to the ODBC driver. Shorten it under Setup > Connection "
                          "Settings; Kestrel never cuts it.")
        .arg(index + 1)
        .arg(paramName(index), fileName)
        .arg(characterCount(values.at(index)))
        .arg(MaxParamLength);
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        text += QChar(b >= 0x80 && b < 0xA0 ? Windows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray encodeWindows1252(const QString &text, bool *ok)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    *ok = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += char(u);
            continue;
        }
        const char16_t *found =
            std::find(std::begin(Windows1252High), std::end(Windows1252High), u);
        if (found == std::end(Windows1252High)) {
            *ok = false;
            return {};
        }
        bytes += char(0x80 + (found - std::begin(Windows1252High)));
    }
    return bytes;
}

ParamFile readParamFile(const QString &path)
{
    ParamFile result;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        result.found = true;
        QByteArray content = file.readAll();
        if (content.startsWith("\xEF\xBB\xBF"))
            content.remove(0, 3);
        if (!isValidUtf8(content))
            result.encoding = ParamEncoding::Windows1252;
        for (const QByteArray &line : textLines(content)) {
            if (result.values.size() == ParamCount)
                break;
            result.values.append(result.encoding == ParamEncoding::Utf8 ? QString::fromUtf8(line)
                                                                        : decodeWindows1252(line));
        }
    }
    while (result.values.size() < ParamCount)
        result.values.append(QString());
    return result;
}

bool writeParamFile(const QString &path, const QStringList &values, QString *error,
                    ParamEncoding encoding)
{
    bool fits = true;
    QByteArray content = encoded(values, encoding, &fits);
    if (!fits)
        content = encoded(values, ParamEncoding::Utf8, &fits);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(content);
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kestrel::db
