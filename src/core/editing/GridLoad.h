#pragma once
// Loading the edit grid's records over many turns of the event loop: the
// statement runs in a connection cycle of its own and its rows go into the
// records as the server sends them, so the first screen shows while the rest
// is on its way.

#include "core/database/StreamingCycle.h"
#include "core/editing/GridRecords.h"

namespace kestrel::edit {

class GridLoad {
public:
    // Connects, runs statement and describes records by its result; false
    // once the cycle's failure path has run (the database failed, or the
    // result lacks a column's field or an ID).
    bool start(const db::Statement &statement, GridRecords &records);
    // Adds records until the result ends or the deadline passes. A row
    // without a numeric ID takes the failure path.
    db::StreamingCycle::Turn read(const QDeadlineTimer &deadline);
    // Ends the loading at once; the records read so far stay.
    void stop() { m_cycle.stop(); }
    bool isLoading() const { return m_cycle.isReading(); }

private:
    db::StreamingCycle m_cycle;
    GridRecords *m_records = nullptr;
};

} // namespace kestrel::edit
