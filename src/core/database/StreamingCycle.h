#pragma once
// The connection cycle of a query whose rows arrive over many turns of the
// event loop: Connecting, open, Connected, the statement, then the rows a
// turn at a time, then close and Idle. A failure at the start or in any turn
// takes the one failure path (message, error status) after the connection
// is released; stopping releases it at once. The caller drives the turns;
// nothing here knows of windows or timers.

#include "core/database/RowStream.h"

#include <memory>

namespace kestrel::db {

class StreamingCycle {
public:
    StreamingCycle() = default;
    ~StreamingCycle();
    StreamingCycle(const StreamingCycle &) = delete;
    StreamingCycle &operator=(const StreamingCycle &) = delete;

    // Connects and runs the statement, then hands its columns to
    // onColumns, whose own failure (a column the caller needs and the
    // result lacks) counts as a database failure. False once the failure
    // path has run.
    bool start(const Statement &statement,
               const std::function<void(const std::vector<Column> &)> &onColumns);

    enum class Turn {
        More,     // rows remain; call read() again on a later turn
        Finished, // every row was read; the connection is closed, status Idle
        Failed,   // the failure path has run; the connection is released
    };
    // Reads rows into onRow until the result ends or the deadline passes.
    Turn read(const QDeadlineTimer &deadline, const RowHandler &onRow);

    // Ends the reading at once and releases the connection: the rest of the
    // result is never fetched.
    void stop();

    bool isReading() const { return m_stream && m_stream->isOpen(); }
    qint64 rowsRead() const { return m_rowsRead; }

private:
    Turn fail(const std::exception *cause);
    void release();

    std::unique_ptr<RowStream> m_stream;
    qint64 m_rowsRead = 0;
};

} // namespace kestrel::db
