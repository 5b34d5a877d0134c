#include "editing/Frm_EditResults.h"
#include "ui_Frm_EditResults.h"

#include "core/database/ConnectionCycle.h"
#include "core/database/RefusedValue.h"
#include "core/database/RetriedTransaction.h"
#include "core/editing/EditCells.h"
#include "core/shared/Formats.h"
#include "core/shared/TextLimits.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/ColumnShares.h"
#include "widgets/FlexGrid.h"
#include "widgets/FormHost.h"
#include "widgets/ReceiptPrint.h"
#include "widgets/ResultFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMainWindow>
#include <QResizeEvent>
#include <QStatusBar>

namespace M = mdl_Variables_Functions;
using kestrel::fmt::pixelsToTwips;
using kestrel::fmt::twipsToPixels;

namespace {

using namespace kestrel::resultframe;

// Beyond the frame and grid both result windows share (in twips): the frame
// follows the window down to an inner size of 8760 by 1395, and the grid
// stays above the row of legends and buttons, which keeps 120 from the
// frame's bottom right.
constexpr int MinInnerWidth = 8760;
constexpr int MinInnerHeight = 1395;
constexpr int Gap = 120;
// Rows the grid shows at the least, so that a window made small stays usable.
constexpr int MinGridRows = 3;

void fitToText(QWidget *widget)
{
    widget->resize(widget->size().expandedTo(widget->sizeHint()));
}

// A cell's text as a message quotes it: a long one cut short.
QString quoted(const QString &text)
{
    constexpr int MostShown = 40;
    if (kestrel::characterCount(text) <= MostShown)
        return text;
    qsizetype cursor = text.size();
    return kestrel::fitToLimit(text, MostShown - 3, &cursor) + QStringLiteral("...");
}

QString rowList(const std::vector<int> &rows)
{
    QStringList texts;
    for (const int row : rows)
        texts.append(QString::number(row));
    return texts.join(QStringLiteral(", "));
}

void reportSave(const kestrel::edit::ChangeSet &changes, const kestrel::edit::SaveOutcome &outcome)
{
    using Result = kestrel::edit::SaveOutcome::Result;
    switch (outcome.result) {
    case Result::Saved:
        if (outcome.goneRows.size() == 1)
            M::MsgBox(QStringLiteral("The record of row %1 was deleted by another user, so its "
                                     "changes were not saved!!!")
                          .arg(outcome.goneRows.front()));
        else if (!outcome.goneRows.empty())
            M::MsgBox(QStringLiteral("The records of rows %1 were deleted by another user, so "
                                     "their changes were not saved!!!")
                          .arg(rowList(outcome.goneRows)));
        if (changes.records.empty() || changes.records.size() > outcome.goneRows.size())
            M::MsgBox(QStringLiteral("Changes have Saved!"));
        return;
    case Result::Conflict:
        M::MsgBox(QStringLiteral("Records were changed by another user after they were loaded, so "
                                 "nothing was saved! Search again to load them anew!!!"));
        return;
    case Result::NotEnoughStock:
        M::MsgBox(QStringLiteral("Not enough supplies in store of %1! Nothing was saved!!!")
                      .arg(outcome.product));
        return;
    case Result::PickGone:
        M::MsgBox(QStringLiteral("The picked %1 (ID %2) no longer exists! Nothing was saved!!!")
                      .arg(outcome.pickTable == QLatin1String("customers")
                               ? QStringLiteral("customer")
                               : QStringLiteral("product"))
                      .arg(outcome.pickId));
        return;
    case Result::Busy:
        M::MsgBox(kestrel::db::OtherTillsText);
        return;
    case Result::NoQuantity:
    case Result::Refused:
        return; // named cell by cell (reportRefusal)
    }
}

} // namespace

Frm_EditResults::Frm_EditResults(QWidget *parent)
    : kestrel::KForm(parent), m_ui(new Ui::Frm_EditResults)
{
    m_ui->setupUi(this);
    m_rows = std::make_unique<kestrel::EditGridRows>(*m_ui->fxg_QueryResult);
    m_editors = std::make_unique<kestrel::CellEditors>(
        kestrel::CellEditors::Controls{m_ui->fxg_QueryResult, m_ui->txt, m_ui->cmb_UM,
                                       m_ui->cmb_Country, m_ui->dtp, m_ui->cmd},
        *m_rows);
    for (QWidget *widget :
         {static_cast<QWidget *>(m_ui->cmd_Show), static_cast<QWidget *>(m_ui->cmd_Save),
          static_cast<QWidget *>(m_ui->lbl_LegendBlue),
          static_cast<QWidget *>(m_ui->lbl_LegendRed)})
        fitToText(widget);
    // A list editor must fit into a row.
    QHeaderView *rows = m_ui->fxg_QueryResult->verticalHeader();
    rows->setDefaultSectionSize(
        std::max(rows->defaultSectionSize(), m_ui->cmb_UM->sizeHint().height()));
    m_frameWidth = pixelsToTwips(m_ui->frm_QueryResult->width());
    m_frameHeight = pixelsToTwips(m_ui->frm_QueryResult->height());
    setMinimumSize(smallestSize());
    setFocusProxy(m_ui->fxg_QueryResult);
    connect(m_ui->cmd_Show, &QPushButton::clicked, this, &Frm_EditResults::cmd_Show_Click);
    connect(m_ui->cmd_Save, &QPushButton::clicked, this, &Frm_EditResults::cmd_Save_Click);
    // A sales grid prints the receipt of the current row's sale: Ctrl+R, or
    // the grid's menu (the Menu key, Shift+F10 or a right click).
    m_printReceipt = new QAction(QStringLiteral("Print Receipt"), m_ui->fxg_QueryResult);
    m_printReceipt->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_printReceipt->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_printReceipt->setEnabled(false);
    m_ui->fxg_QueryResult->addAction(m_printReceipt);
    m_ui->fxg_QueryResult->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_printReceipt, &QAction::triggered, this, &Frm_EditResults::mnu_PrintReceipt_Click);
    // Esc leaves an open editor as the cell was; on the grid it closes the
    // window, as it closes a list.
    answerEscapeWith([this] {
        if (m_editors->isEditing())
            m_editors->EditorKey(kestrel::KeyCodeEsc);
        else
            Unload();
    });
}

Frm_EditResults::~Frm_EditResults()
{
    m_editors.reset();
    delete m_ui;
}

QSize Frm_EditResults::sizeHint() const
{
    return {960, 520};
}

QPointer<Frm_EditResults> Frm_EditResults::Open(const kestrel::EditRequest &request)
{
    kestrel::FormHost *host = kestrel::FormHost::instance();
    if (!host)
        return nullptr;
    // One request, one freshly loaded window.
    host->closeForm<Frm_EditResults>();
    request.writeContract();
    QPointer<Frm_EditResults> form = host->showForm<Frm_EditResults>();
    if (!form || form->isUnloading())
        return nullptr;
    return form;
}

void Frm_EditResults::Form_Load()
{
    m_statement = M::EditSQL;
    m_columns = M::EditCellNameFormat;
    m_dataColumns = std::clamp(M::EditColCount, 1, kestrel::EditGridDataColumns);
    m_joined = M::EditGridJoined;
    // Picks of an earlier grid belong to rows this grid does not have.
    M::PickedIDs.clear();
    m_noRows = false;
    const QPointer<Frm_EditResults> alive(this);
    LoadGrid();
    if (!alive || isUnloading())
        return;
    Form_Resize();
}

bool Frm_EditResults::LoadGrid()
{
    if (!m_rows->load(m_statement, m_columns, m_dataColumns, m_joined)) {
        closeAfterFailure();
        return false;
    }
    m_noRows = m_rows->noRows();
    // Nothing to compare or save: the one row is a message.
    m_ui->cmd_Show->setEnabled(!m_noRows);
    m_ui->cmd_Save->setEnabled(!m_noRows);
    m_printReceipt->setEnabled(m_joined && !m_noRows);
    m_ui->fxg_QueryResult->setRow(1);
    m_ui->fxg_QueryResult->setCol(std::min(2, m_dataColumns));
    return !m_noRows;
}

QSize Frm_EditResults::smallestSize() const
{
    // The frame stops following the window below 8760 by 1395 twips, and
    // the legends and the buttons must fit side by side without overlapping.
    const int gap = twipsToPixels(Gap);
    const int legends = m_ui->lbl_LegendBlue->x() + m_ui->lbl_LegendBlue->width() + gap
                        + m_ui->ptb_LegendRed->width() + gap + m_ui->lbl_LegendRed->width();
    const int buttons = m_ui->cmd_Show->width() + gap + m_ui->cmd_Save->width() + gap;
    const int frameMargin = twipsToPixels(FrameWidthMargin);
    const int grid = m_ui->fxg_QueryResult->horizontalHeader()->sizeHint().height()
                     + MinGridRows * m_ui->cmb_UM->sizeHint().height();
    const int height = twipsToPixels(GridTop) + grid + gap + m_ui->cmd_Save->height() + gap
                       + twipsToPixels(FrameHeightMargin);
    return QSize(std::max(twipsToPixels(MinInnerWidth), legends + gap + buttons + frameMargin),
                 std::max(twipsToPixels(MinInnerHeight), height));
}

void Frm_EditResults::Form_Resize()
{
    const int innerWidth = pixelsToTwips(width());
    const int innerHeight = pixelsToTwips(height());
    if (innerWidth >= MinInnerWidth)
        m_frameWidth = innerWidth - FrameWidthMargin;
    if (innerHeight >= MinInnerHeight)
        m_frameHeight = innerHeight - FrameHeightMargin;
    const int frameWidth = twipsToPixels(m_frameWidth);
    const int frameHeight = twipsToPixels(m_frameHeight);
    const int gap = twipsToPixels(Gap);
    m_ui->frm_QueryResult->setGeometry(twipsToPixels(FrameLeft), 0, frameWidth, frameHeight);

    const int buttonTop = frameHeight - m_ui->cmd_Save->height() - gap;
    m_ui->cmd_Save->move(frameWidth - m_ui->cmd_Save->width() - gap, buttonTop);
    m_ui->cmd_Show->move(m_ui->cmd_Save->x() - m_ui->cmd_Show->width() - gap, buttonTop);
    const int gridTop = twipsToPixels(GridTop);
    m_ui->fxg_QueryResult->setGeometry(twipsToPixels(GridLeft), gridTop,
                                       frameWidth - twipsToPixels(FrameWidthMargin),
                                       std::max(buttonTop - gap - gridTop, 0));

    // The legends share the buttons' row, centred on it.
    const int middle = buttonTop + m_ui->cmd_Save->height() / 2;
    const auto centre = [middle](QWidget *widget, int left) {
        widget->move(left, middle - widget->height() / 2);
    };
    centre(m_ui->ptb_LegendBlue, m_ui->ptb_LegendBlue->x());
    centre(m_ui->lbl_LegendBlue, m_ui->lbl_LegendBlue->x());
    centre(m_ui->ptb_LegendRed, m_ui->lbl_LegendBlue->geometry().right() + 1 + gap);
    centre(m_ui->lbl_LegendRed, m_ui->ptb_LegendRed->geometry().right() + 1 + gap);

    kestrel::shareColumnWidths(*m_ui->fxg_QueryResult, m_columns);
    m_editors->follow();
}

void Frm_EditResults::resizeEvent(QResizeEvent *event)
{
    kestrel::KForm::resizeEvent(event);
    Form_Resize();
}

void Frm_EditResults::closeAfterFailure()
{
    // The failure has been reported; the window goes without a question.
    m_failed = true;
    Unload();
}

bool Frm_EditResults::mayClose()
{
    // Exit loses what is not saved without a question, as it always has.
    const kestrel::FormHost *host = kestrel::FormHost::instance();
    if (m_noRows || m_failed || (host && host->isClosingAllForms()))
        return true;
    m_editors->EndEdit();
    const auto changes = m_rows->changes();
    const auto *set = std::get_if<kestrel::edit::ChangeSet>(&changes);
    if (set && set->records.empty())
        return true;
    return M::MsgBox(QStringLiteral("Changes are not saved in DB! Close the grid anyway?"),
                     M::MsgButtons::YesNo)
           == M::MsgAnswer::Yes;
}

void Frm_EditResults::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    kestrel::KForm::closeEvent(event);
    if (!event->isAccepted())
        return;
    M::EditGridJoined = false;
    M::PickedIDs.clear();
}

void Frm_EditResults::cmd_Show_Click()
{
    CompareRows(false);
}

void Frm_EditResults::mnu_PrintReceipt_Click()
{
    const int row = m_ui->fxg_QueryResult->Row();
    if (m_joined && !m_noRows && row >= 1)
        kestrel::printReceiptOfRow(m_rows->idOf(row), this);
}

void Frm_EditResults::cmd_Save_Click()
{
    CompareRows(true);
}

void Frm_EditResults::CompareRows(bool save)
{
    // An edit still open is part of what the operator asks about.
    m_editors->EndEdit();
    if (m_noRows)
        return;
    if (save)
        saveChanges();
    else
        showChanges();
}

void Frm_EditResults::showChanges()
{
    const bool compared = kestrel::db::runConnectionCycle(
        [&](kestrel::db::OdbcConnection &c) { m_rows->compare(c, m_statement); });
    if (!compared) {
        closeAfterFailure();
        return;
    }
    M::MsgBox(QStringLiteral("Changes have checked!"));
}

void Frm_EditResults::saveChanges()
{
    using Unstorable = kestrel::EditGridRows::Unstorable;
    const auto changes = m_rows->changes();
    if (const auto *bad = std::get_if<Unstorable>(&changes)) {
        m_rows->mark(bad->row, bad->col, kestrel::ChangedColor);
        M::MsgBox(QStringLiteral("%1: \"%2\" %3! Nothing was saved!!!")
                      .arg(cellName(bad->row, bad->col),
                           quoted(m_ui->fxg_QueryResult->TextMatrix(bad->row, bad->col)),
                           bad->problem));
        return;
    }
    const kestrel::edit::ChangeSet &set = std::get<kestrel::edit::ChangeSet>(changes);
    kestrel::edit::SaveOutcome outcome;
    kestrel::EditGridRows::StoredTexts stored;
    if (!set.records.empty()) {
        const bool saved = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
            outcome = kestrel::edit::saveChanges(c, set);
            if (outcome.result == kestrel::edit::SaveOutcome::Result::Saved)
                stored = m_rows->readSaved(c, set);
        });
        if (!saved) {
            closeAfterFailure();
            return;
        }
    }
    const std::vector<int> othersChanged = m_rows->saved(set, outcome, stored);
    if (!reportRefusal(set, outcome))
        reportSave(set, outcome);
    if (!othersChanged.empty())
        noteOthersChanges(othersChanged);
}

QString Frm_EditResults::cellName(int row, int col) const
{
    return QStringLiteral("Row %1, %2").arg(row).arg(m_rows->column(col).header);
}

bool Frm_EditResults::reportRefusal(const kestrel::edit::ChangeSet &changes,
                                    const kestrel::edit::SaveOutcome &outcome)
{
    using Result = kestrel::edit::SaveOutcome::Result;
    const int row = outcome.gridRow;
    if (outcome.result == Result::NoQuantity) {
        if (const int col = m_rows->columnOf(QStringLiteral("Quantity")))
            m_rows->mark(row, col, kestrel::ChangedColor);
        M::MsgBox(outcome.message);
        return true;
    }
    if (outcome.result != Result::Refused)
        return false;
    // The cell the server named; else the one the row's save sent, or all.
    std::vector<int> sent;
    for (const kestrel::edit::RecordChange &change : changes.records) {
        for (const kestrel::edit::LoadedCell &cell : change.loaded) {
            if (change.gridRow == row)
                sent.push_back(cell.gridCol);
        }
    }
    const int named = outcome.field.isEmpty() ? 0 : m_rows->columnOf(outcome.field);
    if (named || sent.size() == 1) {
        const int col = named ? named : sent.front();
        m_rows->mark(row, col, kestrel::ChangedColor);
        M::MsgBox(kestrel::db::refusedValueMessage(
            cellName(row, col), quoted(m_ui->fxg_QueryResult->TextMatrix(row, col))));
        return true;
    }
    for (const int col : sent)
        m_rows->mark(row, col, kestrel::ChangedColor);
    M::MsgBox(kestrel::db::refusedRecordMessage(QStringLiteral("the changes of row %1").arg(row)));
    return true;
}

void Frm_EditResults::noteOthersChanges(const std::vector<int> &rows)
{
    auto *frame = qobject_cast<QMainWindow *>(window());
    if (!frame)
        return;
    frame->statusBar()->showMessage(
        rows.size() == 1
            ? QStringLiteral("Row %1 also shows a change another user saved meanwhile.")
                  .arg(rows.front())
            : QStringLiteral("Rows %1 also show changes another user saved meanwhile.")
                  .arg(rowList(rows)),
        StatusNoteMs);
}
