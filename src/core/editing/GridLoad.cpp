#include "core/editing/GridLoad.h"

namespace kestrel::edit {

bool GridLoad::start(const db::Statement &statement, GridRecords &records)
{
    m_records = &records;
    return m_cycle.start(
        statement, [&records](const std::vector<db::Column> &result) { records.describe(result); });
}

db::StreamingCycle::Turn GridLoad::read(const QDeadlineTimer &deadline)
{
    return m_cycle.read(deadline, [this](db::RowBytes row) { m_records->append(row); });
}

} // namespace kestrel::edit
