#include "core/database/ConnectionTarget.h"

#include "core/database/ConnectionString.h"

#include <odbcinst.h>

#include <algorithm>
#include <vector>

namespace kestrel::db {

namespace {

QString profileEntry(const QString &section, const char *key, const char *file)
{
    char buffer[1024] = {};
    const QByteArray name = section.toUtf8();
    const int length =
        SQLGetPrivateProfileString(name.constData(), key, "", buffer, int(sizeof buffer), file);
    if (length <= 0)
        return {};
    return QString::fromUtf8(buffer, length);
}

bool isKey(const ConnectionPair &pair, const char *key)
{
    return pair.key.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
}

// The pairs the driver reads: the first of each key, and only those with a
// value, since an empty one would replace a data source's own entry.
std::vector<ConnectionPair> pairsWithValues(const QString &driverString)
{
    std::vector<ConnectionPair> kept;
    for (const ConnectionPair &pair : parseConnectionString(driverString)) {
        if (pair.value.isEmpty())
            continue;
        const bool seen = std::any_of(kept.begin(), kept.end(), [&](const ConnectionPair &k) {
            return k.key.compare(pair.key, Qt::CaseInsensitive) == 0;
        });
        if (!seen)
            kept.push_back(pair);
    }
    return kept;
}

const ConnectionPair *findPair(const std::vector<ConnectionPair> &pairs, const char *key)
{
    for (const ConnectionPair &pair : pairs) {
        if (isKey(pair, key))
            return &pair;
    }
    return nullptr;
}

} // namespace

QString dataSourceEntry(const QString &dataSource, const char *key)
{
    return profileEntry(dataSource, key, "odbc.ini");
}

bool isRegisteredDataSource(const QString &name)
{
    return !name.isEmpty() && !dataSourceEntry(name, "Driver").isNull();
}

bool isRegisteredDriver(const QString &name)
{
    return !name.isEmpty() && !profileEntry(name, "Driver", "odbcinst.ini").isNull();
}

ConnectionTarget connectionTarget(const QString &connectionString)
{
    ConnectionTarget target;
    const SplitConnectionString split = splitStartupStatement(connectionString);
    target.startupStatement = split.startupStatement;
    if (parseConnectionString(split.driverString).empty())
        return target;

    std::vector<ConnectionPair> pairs = pairsWithValues(split.driverString);
    if (const ConnectionPair *driver = findPair(pairs, "DRIVER")) {
        target.driver = driver->value;
    } else if (const ConnectionPair *dsn = findPair(pairs, "DSN");
               dsn && isRegisteredDataSource(dsn->value)) {
        target.dataSource = dsn->value;
    } else {
        std::erase_if(pairs, [](const ConnectionPair &p) { return isKey(p, "DSN"); });
        target.driver = MariaDbDriver;
        target.driverString =
            QStringLiteral("DRIVER=") + connectionValue(MariaDbDriver) + QLatin1Char(';');
    }
    for (const ConnectionPair &pair : pairs)
        target.driverString += pair.written;

    const auto value = [&](std::initializer_list<const char *> keys) {
        for (const char *key : keys) {
            if (const ConnectionPair *given = findPair(pairs, key))
                return given->value;
        }
        for (const char *key : keys) {
            if (!target.dataSource.isEmpty()) {
                const QString entry = dataSourceEntry(target.dataSource, key);
                if (!entry.isEmpty())
                    return entry;
            }
        }
        return QString();
    };
    target.host = value({"SERVER", "SERVERNAME"});
    target.user = value({"UID", "USER"});
    target.password = value({"PASSWORD", "PWD"});
    target.database = value({"DATABASE", "DB"});
    target.socket = value({"SOCKET"});
    target.port = value({"PORT"}).trimmed().toUInt();
    return target;
}

} // namespace kestrel::db
