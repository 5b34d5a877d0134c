#pragma once
// The edit grid: the one window in which records are changed after they were
// entered. A find form builds an EditRequest and opens the window with it;
// the window shows the statement's rows, lets the operator change cells
// through in-cell editors (CellEditors), marks the cells that differ from
// the database ("Show Changes") and saves what the operator changed in one
// transaction ("Save Changes in DB"), never over another user's change.

#include "core/shared/EditRequest.h"
#include "editing/CellEditors.h"
#include "editing/EditGridRows.h"
#include "widgets/KForm.h"

#include <QPointer>
#include <memory>

class QAction;

namespace kestrel {
class FlexGrid;
class LoadTurns;
} // namespace kestrel
namespace Ui {
class Frm_EditResults;
}

class Frm_EditResults : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_EditResults(QWidget *parent = nullptr);
    ~Frm_EditResults() override;

    // How every find form opens the grid: closes the open one, writes the
    // request into the contract and opens a fresh window on it. Null when
    // there is no form host or the window closed itself while loading.
    static QPointer<Frm_EditResults> Open(const kestrel::EditRequest &request);

    // Runs EditSQL and shows its rows: the first screen at once, the rest
    // as it arrives. The window is still loading when this returns.
    void Form_Load() override;
    bool isLoading() const;
    qint64 loadedRows() const { return m_rows->rowCount(); }
    QSize sizeHint() const override;

    // The in-cell editors (CellEditors).
    void StartEdit(int keyCode) { m_editors->StartEdit(keyCode); }
    void EndEdit() { m_editors->EndEdit(); }
    void EditorKey(int keyCode) { m_editors->EditorKey(keyCode); }
    QWidget *ActiveEditor() const { return m_editors->ActiveEditor(); }

    void cmd_Show_Click();
    void cmd_Save_Click();
    // The receipt of the sale the current row belongs to (sales grids only).
    void mnu_PrintReceipt_Click();

    // How long the status bar tells of another user's changes a save brought in.
    static constexpr int StatusNoteMs = 10000;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Starts loading the rows.
    void LoadGrid();
    void showArrivedRows();
    void endLoading();
    // Esc while loading: the rows that arrived stay and can be edited.
    void stopLoading();
    // Marks the cells that differ from the database; with save, writes what
    // the operator changed.
    void CompareRows(bool save);
    void showChanges();
    void saveChanges();
    // Marks the cells a refusal is about and shows its message.
    void showRefusal(const kestrel::Refusal &refusal);
    void noteOthersChanges(const std::vector<int> &rows);
    void Form_Resize();
    // True when nothing the operator changed is left unsaved, or they
    // answer that the window may close all the same.
    bool mayClose();
    void closeAfterFailure();
    // The least size at which frame, grid, legends and buttons all show.
    QSize smallestSize() const;

    Ui::Frm_EditResults *m_ui;
    kestrel::LoadTurns *m_load = nullptr;
    bool m_firstRowsShown = false;
    QAction *m_printReceipt = nullptr;
    std::unique_ptr<kestrel::EditGridRows> m_rows;
    std::unique_ptr<kestrel::CellEditors> m_editors;
    // The window's own copy of its request: a find form writing the contract
    // for its next search must not reshape a grid that is still open.
    kestrel::db::Statement m_statement;
    mdl_Variables_Functions::ColumnTable m_columns;
    int m_dataColumns = 0;
    bool m_joined = false;
    bool m_failed = false;
    // Frame size in twips, kept below the window's minimum size.
    int m_frameWidth = 0;
    int m_frameHeight = 0;
};
