#include "core/database/ConnectionString.h"

#include <QRegularExpression>

namespace kestrel::db {

QString connectionValue(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{'))
        && !value.contains(QLatin1Char('}')))
        return value;
    QString escaped = value;
    escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

namespace {

// Reads a braced value starting at the "{" at pos; pos ends after the
// closing brace. An unclosed brace runs to the end of the string.
QString readBraced(const QString &text, qsizetype &pos)
{
    QString value;
    for (++pos; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c == QLatin1Char('}')) {
            if (pos + 1 < text.size() && text.at(pos + 1) == QLatin1Char('}')) {
                value += c;
                ++pos;
                continue;
            }
            ++pos;
            return value;
        }
        value += c;
    }
    return value;
}

} // namespace

std::vector<ConnectionPair> parseConnectionString(const QString &connectionString)
{
    std::vector<ConnectionPair> pairs;
    const QString &s = connectionString;
    qsizetype pos = 0;
    while (pos < s.size()) {
        const qsizetype start = pos;
        ConnectionPair pair;
        const qsizetype equals = s.indexOf(QLatin1Char('='), pos);
        const qsizetype semicolon = s.indexOf(QLatin1Char(';'), pos);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            // A piece without "=": a key alone, up to the next ";".
            pos = semicolon < 0 ? s.size() : semicolon + 1;
            pair.key = s.mid(start, (semicolon < 0 ? s.size() : semicolon) - start).trimmed();
        } else {
            pair.key = s.mid(start, equals - start).trimmed();
            pos = equals + 1;
            while (pos < s.size() && s.at(pos) == QLatin1Char(' '))
                ++pos;
            if (pos < s.size() && s.at(pos) == QLatin1Char('{')) {
                pair.value = readBraced(s, pos);
                // Whatever follows the closing brace, up to ";", is dropped.
                const qsizetype end = s.indexOf(QLatin1Char(';'), pos);
                pos = end < 0 ? s.size() : end + 1;
            } else {
                const qsizetype end = s.indexOf(QLatin1Char(';'), pos);
                pair.value = s.mid(pos, (end < 0 ? s.size() : end) - pos);
                pos = end < 0 ? s.size() : end + 1;
            }
        }
        pair.written = s.mid(start, pos - start);
        if (!pair.written.endsWith(QLatin1Char(';')))
            pair.written += QLatin1Char(';');
        if (!pair.key.isEmpty() || !pair.value.isEmpty())
            pairs.push_back(pair);
    }
    return pairs;
}

SplitConnectionString splitStartupStatement(const QString &connectionString)
{
    SplitConnectionString result;
    bool found = false;
    for (const ConnectionPair &pair : parseConnectionString(connectionString)) {
        if (pair.key.compare(QLatin1String("STMT"), Qt::CaseInsensitive) == 0) {
            // As with any key given twice, the first one counts.
            if (!found)
                result.startupStatement = pair.value;
            found = true;
            continue;
        }
        result.driverString += pair.written;
    }
    return result;
}

namespace {

// Where a quoted text, a backticked name or a comment that starts at pos
// ends (the position after it), or -1 when none starts there.
qsizetype skipQuotedOrComment(const QString &text, qsizetype pos)
{
    const QChar c = text.at(pos);
    const QChar next = pos + 1 < text.size() ? text.at(pos + 1) : QChar();
    if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
        for (qsizetype i = pos + 1; i < text.size(); ++i) {
            if (text.at(i) == QLatin1Char('\\') && c != QLatin1Char('`')) {
                ++i; // an escaped character, the quote included
            } else if (text.at(i) == c) {
                if (i + 1 < text.size() && text.at(i + 1) == c) {
                    ++i; // a doubled quote stands for itself
                    continue;
                }
                return i + 1;
            }
        }
        return text.size();
    }
    const bool lineComment =
        c == QLatin1Char('#')
        || (c == QLatin1Char('-') && next == QLatin1Char('-')
            && (pos + 2 >= text.size() || text.at(pos + 2).isSpace()));
    if (lineComment) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
        return end < 0 ? text.size() : end + 1;
    }
    if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
        const qsizetype end = text.indexOf(QStringLiteral("*/"), pos + 2);
        return end < 0 ? text.size() : end + 2;
    }
    return -1;
}

} // namespace

QStringList startupStatements(const QString &startupValue)
{
    QStringList statements;
    qsizetype start = 0;
    qsizetype pos = 0;
    bool hasCode = false; // a comment alone is no statement
    const auto take = [&](qsizetype end) {
        if (hasCode)
            statements.append(startupValue.mid(start, end - start).trimmed());
        hasCode = false;
    };
    while (pos < startupValue.size()) {
        const QChar c = startupValue.at(pos);
        const qsizetype skipped = skipQuotedOrComment(startupValue, pos);
        if (skipped >= 0) {
            hasCode = hasCode || c == QLatin1Char('\'') || c == QLatin1Char('"')
                      || c == QLatin1Char('`');
            pos = skipped;
        } else if (c == QLatin1Char(';')) {
            take(pos);
            start = ++pos;
        } else {
            hasCode = hasCode || !c.isSpace();
            ++pos;
        }
    }
    take(startupValue.size());
    return statements;
}

QString withoutPasswords(const QString &text)
{
    static const QRegularExpression pair(
        QStringLiteral("\\b(PASSWORD|PWD)(\\s*=\\s*)(\\{(?:[^}]|\\}\\})*\\}?|[^;]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString result = text;
    return result.replace(pair, QStringLiteral("\\1\\2***"));
}

} // namespace kestrel::db
