#pragma once
// Kestrel's thin layer over unixODBC: one environment for the process, a
// connection per operation, statements run as text. Every failure becomes an
// OdbcError carrying the SQLSTATE and the driver's own text; handles are
// released on every path.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kestrel::db {

class OdbcError : public std::runtime_error {
public:
    OdbcError(const QString &sqlState, const QString &message);
    const QString &sqlState() const { return m_sqlState; }
    const QString &message() const { return m_message; }

private:
    QString m_sqlState;
    QString m_message;
};

struct Column {
    QString name;
    QString baseTable;
    int sqlType = 0;
};

// One value of a result row; nullopt is SQL NULL.
using Value = std::optional<QString>;
using Row = std::vector<Value>;

struct ResultSet {
    std::vector<Column> columns;
    std::vector<Row> rows;

    // Index of the column called name (case-insensitive, as the server
    // treats column names), or -1.
    int indexOf(const QString &name) const;
    bool isEmpty() const { return rows.empty(); }
};

int columnIndex(const std::vector<Column> &columns, const QString &name);

// Splits "STMT=..." out of a connection string. The MariaDB driver ignores the
// key, so the layer runs the statement itself after connecting.
struct SplitConnectionString {
    QString driverString; // what the driver gets
    QString startupStatement; // empty when none
};
SplitConnectionString splitStartupStatement(const QString &connectionString);

class OdbcConnection {
public:
    // Connects with the connection string and runs its STMT statement, if any.
    explicit OdbcConnection(const QString &connectionString);
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    // Runs a statement whose rows, if any, are not wanted.
    void execute(const QString &sql);

    // Runs a query and returns all of its rows.
    ResultSet query(const QString &sql);

    // Runs a query and hands its column descriptions once, then each row in
    // turn, without keeping the rows: for large results.
    void queryEach(const QString &sql,
                   const std::function<void(const std::vector<Column> &)> &onColumns,
                   const std::function<void(const Row &)> &onRow);

    void close();

private:
    void *m_dbc = nullptr;
};

} // namespace kestrel::db
