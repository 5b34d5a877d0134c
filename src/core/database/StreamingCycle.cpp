#include "core/database/StreamingCycle.h"

#include "core/database/ConnectionCycle.h"
#include "core/shared/mdl_Variables_Functions.h"

namespace kestrel::db {

namespace M = mdl_Variables_Functions;

namespace {

// Other operations may run their own cycles while the rows arrive (a delete
// from the list being loaded, a form saving). The panel shows the newest
// state: a cycle that ended meanwhile left Idle, which is wrong while this
// connection is still reading; one that failed left its error, which stays
// until the next operation starts.
void showReading()
{
    if (M::ConnStat() == M::StatIdle)
        M::SetConnStat(M::StatConnected);
}

void showEnded()
{
    if (M::ConnStat() == M::StatConnected)
        M::SetConnStat(M::StatIdle);
}

} // namespace

StreamingCycle::~StreamingCycle()
{
    if (m_stream)
        stop();
}

bool StreamingCycle::start(const Statement &statement,
                           const std::function<void(const std::vector<Column> &)> &onColumns)
{
    release();
    m_rowsRead = 0;
    M::SetConnStat(M::StatConnecting);
    try {
        m_stream = std::make_unique<RowStream>(M::ConnString, statement);
        M::SetConnStat(M::StatConnected);
        if (onColumns)
            onColumns(m_stream->columns());
    } catch (const std::exception &e) {
        fail(&e);
        return false;
    } catch (...) {
        fail(nullptr);
        return false;
    }
    return true;
}

StreamingCycle::Turn StreamingCycle::read(const QDeadlineTimer &deadline, const RowHandler &onRow)
{
    if (!m_stream)
        return Turn::Finished;
    showReading();
    bool more = false;
    try {
        more = m_stream->fetch(deadline, onRow);
        m_rowsRead = m_stream->rowsRead();
    } catch (const std::exception &e) {
        return fail(&e);
    } catch (...) {
        return fail(nullptr);
    }
    if (more)
        return Turn::More;
    release();
    showEnded();
    return Turn::Finished;
}

void StreamingCycle::stop()
{
    release();
    showEnded();
}

StreamingCycle::Turn StreamingCycle::fail(const std::exception *cause)
{
    // Released before the message shows: the message box runs an event loop
    // of its own, in which nothing may read from a broken stream.
    release();
    reportConnectionFailure(cause);
    return Turn::Failed;
}

void StreamingCycle::release()
{
    if (m_stream)
        m_rowsRead = m_stream->rowsRead();
    m_stream.reset();
}

} // namespace kestrel::db
