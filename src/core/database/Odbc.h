#pragma once
// Kestrel's thin layer over unixODBC: one environment for the process, a
// connection per operation, statements with their values bound as
// parameters. Every failure becomes an OdbcError carrying the SQLSTATE and
// the driver's own text; handles are released on every path.

#include "core/database/Statement.h"

#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kestrel::db {

class OdbcError : public std::runtime_error {
public:
    OdbcError(const QString &sqlState, const QString &message, int nativeError = 0);
    const QString &sqlState() const { return m_sqlState; }
    const QString &message() const { return m_message; }
    // The server's own error number (1045: access denied, 1213: a deadlock),
    // 0 when the failure did not come from the server or its client library.
    int nativeError() const { return m_nativeError; }
    // The text of the statement that failed, its "?" not filled in; empty
    // when the failure came before any statement.
    const QString &statement() const { return m_statement; }
    void setStatement(const QString &sqlText) { m_statement = sqlText; }

private:
    QString m_sqlState;
    QString m_message;
    int m_nativeError = 0;
    QString m_statement;
};

struct Column {
    QString name;
    QString baseTable;
    int sqlType = 0;
    // Texts: the most characters the column holds (0: not known). Numbers
    // whose column takes no sign are unsigned.
    int length = 0;
    bool isUnsigned = false;
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

// How long a connection waits: for the server to take it (login), and for
// each answer to a statement (read). A server that accepts the connection
// and then stays silent fails the operation instead of freezing Kestrel.
struct Timeouts {
    int loginSeconds = 10;
    int readSeconds = 60;
};
Timeouts connectionTimeouts();
// For every connection made from now on.
void setConnectionTimeouts(const Timeouts &timeouts);

class OdbcConnection {
public:
    // Connects with the connection string, within the connection
    // timeouts, and runs each statement of its start-up value in turn.
    explicit OdbcConnection(const QString &connectionString);
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    // Runs a statement whose rows, if any, are not wanted; returns the rows
    // it matched (for UPDATE and DELETE) or -1 when the driver cannot tell.
    qint64 execute(const Statement &statement);

    // Runs a query and returns all of its rows.
    ResultSet query(const Statement &statement);

    // Runs a query and hands its column descriptions once, then each row in
    // turn, without keeping the rows: for large results.
    void queryEach(const Statement &statement,
                   const std::function<void(const std::vector<Column> &)> &onColumns,
                   const std::function<void(const Row &)> &onRow);

    // Manual commit mode on (false) or off (true); see Transaction.
    void setAutoCommit(bool on);
    void commit();
    void rollback();

    void close();
    bool isOpen() const { return m_dbc != nullptr; }

private:
    void *requireOpen() const;
    void *m_dbc = nullptr;
};

// Everything run on the connection while it lives is one transaction:
// commit() keeps it, leaving the scope without commit() (an exception, an
// early return) rolls it back.
class Transaction {
public:
    explicit Transaction(OdbcConnection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();
    // Whether commit() went through.
    bool committed() const { return m_done; }
    OdbcConnection &connection() const { return m_connection; }

private:
    OdbcConnection &m_connection;
    bool m_done = false;
};

} // namespace kestrel::db
