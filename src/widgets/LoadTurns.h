#pragma once
// A window's load read over many turns of the event loop, as the lists and
// the edit grid read theirs: a first turn while the window opens, then short
// turns from a zero-interval timer, so that scrolling and typing stay smooth
// while rows arrive. The rows read reach the view a few times a second
// rather than after every turn (each time they do, the grid repaints what
// it shows), and the status bar counts them until the end; once the
// operator stopped the load it says how many came.

#include "core/database/StreamingCycle.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <functional>

class QTimer;

namespace kestrel {

class LoadProgress;

class LoadTurns : public QObject {
    Q_OBJECT
public:
    struct Steps {
        // Reads rows until the deadline; ends the window's cycle as it says.
        std::function<db::StreamingCycle::Turn(const QDeadlineTimer &)> read;
        // Lets the view know of the rows read since it last heard.
        std::function<void()> show;
        // The rows read so far.
        std::function<qint64()> rows;
    };
    LoadTurns(Steps steps, QObject *parent);
    ~LoadTurns() override;

    // Runs the first turn, within the first turn's budget; the rest follow
    // on later turns of the event loop.
    void start();
    // One more turn like the first, for a window that wants more rows
    // before it shows.
    void firstTurn() { turn(FirstTurnMs); }
    bool isLoading() const { return m_loading; }
    // The operator stopped the load (the window's cycle already stopped):
    // the rows that came are shown, and the status bar says how many.
    void stopped();
    // The load ends without a word: the window goes.
    void abandon();

    // Budgets in milliseconds: the first turn runs while the window opens,
    // later ones are short enough for smooth scrolling and typing.
    static constexpr int FirstTurnMs = 25;
    static constexpr int TurnMs = 30;
    static constexpr int ShowRowsMs = 250;

signals:
    // Every row arrived and was shown (before ended).
    void finished();
    // The read failed; its failure path has run (after ended).
    void failed();
    // The load ended: finished, failed, stopped or abandoned.
    void ended();

private:
    void turn(int budgetMs);
    void show();
    // Ends the load; first, if given, is told before ended.
    void end(void (LoadTurns::*first)() = nullptr);

    Steps m_steps;
    QTimer *m_pump;
    QPointer<LoadProgress> m_progress;
    QElapsedTimer m_shownAt;
    bool m_loading = false;
    bool m_inTurn = false;
};

} // namespace kestrel
