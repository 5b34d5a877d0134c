#include "core/database/ParamFile.h"

#include <QFile>
#include <QSaveFile>

namespace kestrel::db {

ParamFile readParamFile(const QString &path)
{
    ParamFile result;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        result.found = true;
        while (result.values.size() < ParamCount && !file.atEnd()) {
            QByteArray line = file.readLine();
            if (line.endsWith('\n'))
                line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
            result.values.append(QString::fromUtf8(line));
        }
    }
    while (result.values.size() < ParamCount)
        result.values.append(QString());
    return result;
}

bool writeParamFile(const QString &path, const QStringList &values, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    for (int i = 0; i < ParamCount; ++i) {
        file.write(values.value(i).toUtf8());
        file.write("\r\n");
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kestrel::db
