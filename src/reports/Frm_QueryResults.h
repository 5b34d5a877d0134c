#pragma once
// The read-only result window: every list Kestrel shows (reports, delete
// views, the choosers of customers and products) is this window running the
// request that its caller wrote into the result-window contract. It knows
// none of the windows that open it: a chooser hands the picked row to the
// function its opener put into the request.

#include "core/shared/ResultRequest.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/KForm.h"

#include <QPointer>

class QGroupBox;
namespace kestrel {
class FlexGrid;
}
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
    // is no form host or the window closed itself while loading.
    static QPointer<Frm_QueryResults> Open(const kestrel::ResultRequest &request);

    // Runs QrySQL and shows its rows under QryCaption.
    void Form_Load() override;

    // Fills the grid with the rows of SQL, columns as CellNameFormat
    // describes them. A database failure is reported and closes the window.
    void QueryResult(const kestrel::db::Statement &SQL,
                     const mdl_Variables_Functions::ColumnTable &CellNameFormat);

    // Lays out frame and grid (in twips) and gives every column its share of
    // the grid's width.
    void DoResize(const mdl_Variables_Functions::ColumnTable &ColWthPrc);

    QSize sizeHint() const override;

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

    QGroupBox *frm_QueryResult;
    kestrel::FlexGrid *fxg_QueryResult;

    static inline const QString NoItemsText = QStringLiteral("No Items Found in DataBase");

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static Mode modeFromFlags();
    void fxg_QueryResult_DblClick();
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

    Ui::Frm_QueryResults *ui;
    Mode m_mode = Mode::Report;
    // What a pick does, taken from the contract as the window loads.
    mdl_Variables_Functions::PickHandOver m_pickHandOver;
    bool m_noItems = false;
    // The window's own copy of its columns: a caller writing the contract
    // for its next request must not reshape a window that is still open.
    mdl_Variables_Functions::ColumnTable m_columns;
    // Frame and grid size in twips, kept between resizes.
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_gridWidth = 0;
    int m_gridHeight = 0;
};
