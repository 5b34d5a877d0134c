#pragma once
// The read-only result window: every list Kestrel shows (reports, delete
// views, the choosers of customers and products) is this window running the
// request that its caller wrote into the result-window contract. It knows
// none of the windows that open it: a chooser hands the picked row to the
// function its opener put into the request.
//
// Rows stream in: the first turn of reading runs while the window opens, so
// a short list is whole when Open returns; a long one goes on arriving in
// chunks between the operator's own events, who can scroll, pick or delete
// the rows already there. Esc stops the loading, keeping what arrived; Esc
// on a whole list closes the window.

#include "core/database/StreamingCycle.h"
#include "core/shared/ResultRequest.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/KForm.h"

#include <QPointer>
#include <memory>

class QShortcut;
namespace kestrel {
class FlexGrid;
class LoadTurns;
class ResultRows;
enum class ExportFormat;
} // namespace kestrel
namespace Ui {
class Frm_QueryResults;
}

class Frm_QueryResults : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_QueryResults(QWidget *parent = nullptr);
    ~Frm_QueryResults() override;

    // How every caller opens the window: closes the open one, lowers every
    // double-click flag, writes the request into the contract (raising its
    // delete or pick flag), then opens a fresh window on it. Null when there
    // is no form host or the window closed itself while it opened (a failed
    // statement). A long list is still loading when this returns.
    static QPointer<Frm_QueryResults> Open(const kestrel::ResultRequest &request);

    // Opens the window as a chooser for opener: raises pickFlag and hands the
    // picked row's cells to take, as long as opener is still there (it may
    // have closed while the chooser waited). The grid has the keys at once.
    static QPointer<Frm_QueryResults> OpenChooser(kestrel::ResultRequest request, bool *pickFlag,
                                                  QObject *opener,
                                                  std::function<void(const QStringList &)> take);

    // Runs QrySQL and shows its rows under QryCaption.
    void Form_Load() override;

    // Fills the grid with the rows of SQL, columns as CellNameFormat
    // describes them: the rows of the first turn at once, the rest on later
    // turns of the event loop. A database failure, now or later, is reported
    // and closes the window.
    void QueryResult(const kestrel::db::Statement &SQL,
                     const mdl_Variables_Functions::ColumnTable &CellNameFormat);

    // Lays out frame and grid (in twips) and gives every column its share of
    // the grid's width.
    void DoResize(const mdl_Variables_Functions::ColumnTable &ColWthPrc);

    QSize sizeHint() const override;

    // True while rows are still arriving.
    bool isLoading() const;
    // Data rows in the grid so far.
    qint64 loadedRows() const;
    // Ends the loading at once and releases its connection; the rows that
    // arrived stay. What Esc does while the list loads.
    void stopLoading();

    // The list can go out to a file or a printer once its rows are in: not
    // while they arrive, and not when it found nothing.
    bool canExport() const;
    // Export as CSV or PDF, whichever the operator picks, and print: the
    // main window's commands for the open list. A list whose loading was
    // stopped goes out as the operator answers: the rows loaded (the pages
    // and the status bar say it is part of the list), or the whole list,
    // loaded first.
    void ExportList();
    void PrintList();

    // What a double click does, fixed when the window loads.
    enum class Mode {
        Report,
        Delete,
        EditTransPickProduct,
        EditTransPickCustomer,
        EditGridPick,
        AddTransPickCustomer,
        AddTransPickProduct,
    };
    Mode mode() const { return m_mode; }

    static inline const QString NoItemsText = QStringLiteral("No Items Found in DataBase");

signals:
    // The loading has ended: every row arrived, the operator stopped it, or
    // it failed (the window then closes right after).
    void loadingFinished();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static Mode modeFromFlags();
    void fxg_QueryResult_DblClick();
    void mnu_ExportCsv_Click();
    void mnu_ExportPdf_Click();
    void mnu_Print_Click();
    void showListMenu();
    void enableExport();
    // Enter acts on the current row as a double click does; Delete asks to
    // delete it in a delete view. True when the key was used.
    bool fxg_QueryResult_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void DeleteRow();
    // Hands the current row to the opener's function, lowers the pick flag
    // and closes the window.
    void Pick();
    // Text of cell (current row, col).
    QString T(int col) const;
    void showNoItems(int dataColumns);
    // True when command may go on with the rows there are; otherwise the
    // operator chose to load the whole list first, and command runs once it
    // is in.
    bool readyToExport(void (Frm_QueryResults::*command)(), const QString &action);
    // How an export or print describes a stopped list; empty for a whole one.
    QString partOfListNote() const;
    void exportAs(const std::vector<kestrel::ExportFormat> &formats);

    // Every row is in: the message row if none came, and a command that
    // waited for them.
    void loadingDone();
    // Lets the view know of the rows read since it last heard.
    void showArrivedRows();
    void showHeaders();
    // The columns keep filling the grid when the rows come to need a
    // vertical scroll bar.
    void keepColumnsFitting();

    Ui::Frm_QueryResults *m_ui;
    Mode m_mode = Mode::Report;
    // What a pick does, taken from the contract as the window loads.
    mdl_Variables_Functions::PickHandOver m_pickHandOver;
    bool m_noItems = false;
    kestrel::db::StreamingCycle m_load;
    std::unique_ptr<kestrel::ResultRows> m_rows;
    kestrel::LoadTurns *m_loadTurns = nullptr;
    QShortcut *m_stop;
    // The operator stopped the loading: the list is not whole.
    bool m_stopped = false;
    // What runs once the whole list is in (an export that asked for it).
    void (Frm_QueryResults::*m_afterLoading)() = nullptr;
    kestrel::db::Statement m_statement;
    bool m_headersShown = false;
    int m_fittedWidth = -1;
    // The window's own copy of its columns: a caller writing the contract
    // for its next request must not reshape a window that is still open.
    mdl_Variables_Functions::ColumnTable m_columns;
    // Frame and grid size in twips, kept between resizes.
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_gridWidth = 0;
    int m_gridHeight = 0;
};
