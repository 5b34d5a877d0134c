#include "core/shared/CsvWriter.h"

#include <QIODevice>
#include <QString>
#include <type_traits>

namespace kestrel {

namespace {

constexpr qsizetype FlushBytes = 1 << 20;

bool needsQuotes(QChar c)
{
    return c == u';' || c == u'"' || c == u'\n' || c == u'\r';
}

// What a spreadsheet may run as a formula: a text starting with one of
// these, also behind a tab or a carriage return, which it strips first.
bool startsLikeFormula(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

bool isSign(QChar c)
{
    return c == u'+' || c == u'-';
}

// An amount as Kestrel shows it: an optional sign, digits, a decimal comma.
template <class View> bool isNumber(View text)
{
    qsizetype i = text.size() > 0 && isSign(QChar(text.front())) ? 1 : 0;
    bool digits = false;
    bool comma = false;
    for (; i < text.size(); ++i) {
        const QChar c(text[i]);
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (c == u',' && !comma && digits) {
            comma = true;
            digits = false;
        } else {
            return false;
        }
    }
    return digits;
}

void appendEncoded(QByteArray &out, QLatin1StringView text, bool doubleQuotes)
{
    unsigned char any = 0;
    for (const char c : text)
        any |= static_cast<unsigned char>(c);
    if (any < 0x80 && !doubleQuotes) {
        out.append(text.data(), text.size()); // ASCII: the same bytes in UTF-8
        return;
    }
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' && doubleQuotes)
            out.append('"');
        if (byte < 0x80) {
            out.append(c);
        } else {
            out.append(char(0xC0 | (byte >> 6)));
            out.append(char(0x80 | (byte & 0x3F)));
        }
    }
}

void appendEncoded(QByteArray &out, QStringView text, bool doubleQuotes)
{
    // Converted as a whole, so surrogate pairs stay together.
    if (!doubleQuotes) {
        out.append(text.toUtf8());
        return;
    }
    QString doubled = text.toString();
    doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    out.append(doubled.toUtf8());
}

template <class View> void appendText(QByteArray &out, View text)
{
    bool quote = false;
    for (qsizetype i = 0; i < text.size() && !quote; ++i)
        quote = needsQuotes(QChar(text[i]));
    const bool formula =
        text.size() > 0 && startsLikeFormula(QChar(text.front())) && !isNumber(text);
    if (quote)
        out.append('"');
    if (formula)
        out.append('\'');
    appendEncoded(out, text, quote);
    if (quote)
        out.append('"');
}

} // namespace

CsvWriter::CsvWriter(QIODevice &device) : m_device(device)
{
    m_buffer.reserve(FlushBytes + 64 * 1024);
    m_buffer.append("\xEF\xBB\xBF");
}

void CsvWriter::appendField(QByteArray &out, QAnyStringView field)
{
    field.visit([&out](auto view) {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QUtf8StringView>) {
            const QString text = QString::fromUtf8(view.data(), view.size());
            appendText(out, QStringView(text));
        } else {
            appendText(out, view);
        }
    });
}

void CsvWriter::writeRow(std::span<const QAnyStringView> fields)
{
    bool first = true;
    for (const QAnyStringView &field : fields) {
        if (!first)
            m_buffer.append(';');
        first = false;
        appendField(m_buffer, field);
    }
    m_buffer.append("\r\n");
    if (m_buffer.size() >= FlushBytes)
        flush();
}

void CsvWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (m_device.write(m_buffer) != m_buffer.size())
        m_ok = false;
    m_buffer.clear();
}

bool CsvWriter::finish()
{
    flush();
    return m_ok;
}

} // namespace kestrel
