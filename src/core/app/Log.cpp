#include "core/app/Log.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

namespace kestrel::log {

namespace {

struct Settings {
    QString path;
    qint64 limit = DefaultLimit;
    int keep = DefaultKeep;
};

Settings &settings()
{
    static Settings s;
    return s;
}

QString oldFile(const QString &path, int number)
{
    return path + QLatin1Char('.') + QString::number(number);
}

// Moves path to ".1", ".1" to ".2" and so on; the oldest beyond keep goes.
void rotate(const Settings &s)
{
    QFile::remove(oldFile(s.path, s.keep));
    for (int n = s.keep - 1; n >= 1; --n)
        QFile::rename(oldFile(s.path, n), oldFile(s.path, n + 1));
    if (s.keep > 0)
        QFile::rename(s.path, oldFile(s.path, 1));
    else
        QFile::remove(s.path);
}

bool appendToFile(const Settings &s, const QByteArray &line)
{
    const qint64 size = QFileInfo(s.path).size();
    if (size > 0 && size + line.size() > s.limit)
        rotate(s);
    QFile file(s.path);
    // The log names accounts, servers and statements: its owner's alone.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    return file.write(line) == line.size();
}

} // namespace

void setFile(const QString &path, qint64 limit, int keep)
{
    settings() = Settings{path, limit, keep};
}

QString file()
{
    return settings().path;
}

bool append(const QString &text)
{
    static const QRegularExpression lineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    QString oneLine = text.trimmed();
    oneLine.replace(lineBreaks, QStringLiteral(" / "));
    const QByteArray line =
        (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + oneLine
         + QLatin1Char('\n'))
            .toUtf8();
    std::fprintf(stderr, "kestrel: %s", line.constData());
    const Settings &s = settings();
    return s.path.isEmpty() || appendToFile(s, line);
}

} // namespace kestrel::log
