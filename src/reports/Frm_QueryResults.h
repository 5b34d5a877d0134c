#pragma once
// The read-only result window: every list Kestrel shows (reports, delete
// views, the choosers of customers and products) is this window running the
// request that its caller wrote into the result-window contract.

#include "KForm.h"
#include "mdl_Variables_Functions.h"

#include <QPointer>
#include <functional>

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
    // double-click flag, runs armFlags to raise the flags of the new request,
    // then opens a fresh window on the request. Null when there
    // is no main window or the window closed itself while loading.
    static QPointer<Frm_QueryResults> Open(const std::function<void()> &armFlags = {});

    // Runs QrySQL and shows its rows under QryCaption.
    void Form_Load() override;

    // Fills the grid with the rows of SQL, columns as CellNameFormat
    // describes them. A database failure is reported and closes the window.
    void QueryResult(const QString &SQL, const mdl_Variables_Functions::ColumnTable &CellNameFormat);

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

private:
    static Mode modeFromFlags();
    // True once the window's sub-window has closed (or when it has none).
    bool closing() const;
    void fxg_QueryResult_DblClick();
    void DeleteRow();
    void Pick();
    // Text of cell (current row, col).
    QString T(int col) const;
    void showNoItems(int dataColumns);

    Ui::Frm_QueryResults *ui;
    Mode m_mode = Mode::Report;
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
