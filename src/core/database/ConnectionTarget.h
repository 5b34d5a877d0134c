#pragma once
// Where a connection string leads. The settings name an ODBC data source,
// yet most machines have none registered: then Kestrel goes to the MariaDB
// driver itself with the settings' server, port, database and account. An
// empty setting says nothing, so a registered data source's own entry
// stands. The ODBC layer and the streaming reader (RowStream) both connect
// to what this gives, so they reach the same server on the same terms.

#include <QString>

namespace kestrel::db {

// The driver Kestrel goes to when the settings name no registered data
// source (Debian's package odbc-mariadb registers it).
inline const QString MariaDbDriver = QStringLiteral("MariaDB Unicode");
inline const QString MariaDbDriverPackage = QStringLiteral("odbc-mariadb");

struct ConnectionTarget {
    // What the driver manager gets: a registered data source or DRIVER=,
    // the pairs with a value, no STMT. Empty for an empty connection string,
    // which names nothing to connect to.
    QString driverString;
    QString startupStatement; // STMT, which Kestrel runs itself
    QString dataSource;       // the registered data source used, else empty
    QString driver;           // the driver named in the string, else empty
    // The string's value where it gives one, else the data source's entry;
    // empty where neither does (the driver's own default then applies).
    QString host;
    QString user;
    QString password;
    QString database;
    QString socket;
    unsigned port = 0;
};

ConnectionTarget connectionTarget(const QString &connectionString);

// What the driver manager knows, from the same odbc.ini and odbcinst.ini
// files it reads.
bool isRegisteredDataSource(const QString &name);
bool isRegisteredDriver(const QString &name);
// An entry of a registered data source, or a null string.
QString dataSourceEntry(const QString &dataSource, const char *key);

} // namespace kestrel::db
