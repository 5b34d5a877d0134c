#pragma once
// A query whose rows are read forward only, a few at a time, straight off the
// server's stream: nothing holds the whole result, so the first rows of a
// long list can be shown while the rest is still on its way, and dropping
// the stream ends the server's work at once.
//
// The ODBC driver Kestrel runs on (MariaDB Connector/ODBC 3.1.15) reads every
// row of a result into memory before it returns the first one, so this reader
// speaks to the server through the driver's own client library instead. It
// takes the same connection string and goes where the ODBC layer goes
// (ConnectionTarget): a registered data source with the string's values over
// its entries, or the settings alone; it refuses where the driver manager
// would find no driver, and the STMT statement runs right after connecting.

#include "core/database/Odbc.h"

#include <QByteArrayView>
#include <QDeadlineTimer>
#include <functional>
#include <memory>
#include <span>

namespace kestrel::db {

// One field of a streamed row: UTF-8 text as the server sent it, good only
// while the row is being handed over.
struct FieldBytes {
    QByteArrayView text;
    bool null = false;
};
using RowBytes = std::span<const FieldBytes>;
using RowHandler = std::function<void(RowBytes)>;

class RowStream {
public:
    // Connects and runs the statement; throws OdbcError when either fails.
    RowStream(const QString &connectionString, const Statement &statement);
    ~RowStream();
    RowStream(const RowStream &) = delete;
    RowStream &operator=(const RowStream &) = delete;

    const std::vector<Column> &columns() const { return m_columns; }

    // Hands rows to onRow until the result ends or the deadline passes.
    // Returns true while rows remain; at the end the connection is closed
    // already. Throws OdbcError when the server or the network fails, having
    // closed the stream.
    bool fetch(const QDeadlineTimer &deadline, const RowHandler &onRow);

    qint64 rowsRead() const { return m_rowsRead; }
    bool isOpen() const;

    // Drops the rest of the result and the connection at once.
    void close();

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    std::vector<Column> m_columns;
    qint64 m_rowsRead = 0;
};

} // namespace kestrel::db
