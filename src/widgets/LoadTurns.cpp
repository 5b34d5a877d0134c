#include "widgets/LoadTurns.h"

#include "widgets/LoadProgress.h"

#include <QTimer>

namespace kestrel {

LoadTurns::LoadTurns(Steps steps, QObject *parent)
    : QObject(parent), m_steps(std::move(steps)), m_pump(new QTimer(this))
{
    // A zero interval: the next turn runs once the events that came in
    // meanwhile (paint, scroll, keys) have had theirs.
    m_pump->setInterval(0);
    connect(m_pump, &QTimer::timeout, this, [this] { turn(TurnMs); });
}

LoadTurns::~LoadTurns()
{
    delete m_progress;
}

void LoadTurns::start()
{
    delete m_progress;
    m_loading = true;
    m_shownAt.invalidate();
    turn(FirstTurnMs);
}

void LoadTurns::turn(int budgetMs)
{
    // A turn never runs inside another: the failure message opens an event
    // loop of its own, in which the pump could fire again.
    if (!m_loading || m_inTurn)
        return;
    m_inTurn = true;
    const db::StreamingCycle::Turn turn = m_steps.read(QDeadlineTimer(budgetMs));
    m_inTurn = false;
    switch (turn) {
    case db::StreamingCycle::Turn::Failed:
        end();
        emit failed();
        return;
    case db::StreamingCycle::Turn::Finished:
        m_steps.show();
        end(&LoadTurns::finished);
        return;
    case db::StreamingCycle::Turn::More:
        if (!m_shownAt.isValid() || m_shownAt.hasExpired(ShowRowsMs))
            show();
        if (!m_pump->isActive())
            m_pump->start();
        return;
    }
}

void LoadTurns::show()
{
    m_steps.show();
    m_shownAt.start();
    if (!m_progress)
        m_progress = LoadProgress::inStatusBar();
    if (m_progress)
        m_progress->showLoading(m_steps.rows());
}

void LoadTurns::end(void (LoadTurns::*first)())
{
    m_loading = false;
    m_pump->stop();
    delete m_progress;
    if (first)
        emit(this->*first)();
    emit ended();
}

void LoadTurns::stopped()
{
    if (!m_loading)
        return;
    m_steps.show();
    end();
    // The list is not whole: the status bar says so while the window shows it.
    m_progress = LoadProgress::inStatusBar();
    if (m_progress)
        m_progress->showStopped(m_steps.rows());
}

void LoadTurns::abandon()
{
    if (m_loading)
        end();
    delete m_progress;
}

} // namespace kestrel
