#include "editing/Frm_EditResults.h"
#include "ui_Frm_EditResults.h"

#include "core/database/ConnectionCycle.h"
#include "core/database/RetriedTransaction.h"
#include "core/editing/EditCells.h"
#include "core/shared/Formats.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/ColumnShares.h"
#include "widgets/FlexGrid.h"
#include "widgets/FormHost.h"
#include "widgets/LoadTurns.h"
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
// Rows read before the window shows, unless fewer came: more than a screen
// holds, so the window opens full.
constexpr int FirstScreenRows = 100;

void fitToText(QWidget *widget)
{
    widget->resize(widget->size().expandedTo(widget->sizeHint()));
}

QString rowList(const std::vector<int> &rows)
{
    QStringList texts;
    for (const int row : rows)
        texts.append(QString::number(row));
    return texts.join(QStringLiteral(", "));
}

void reportSaved(const kestrel::edit::ChangeSet &changes, const kestrel::edit::SavedRows &saved)
{
    if (saved.goneRows.size() == 1)
        M::MsgBox(QStringLiteral("The record of row %1 was deleted by another user, so its "
                                 "changes were not saved!!!")
                      .arg(saved.goneRows.front()));
    else if (!saved.goneRows.empty())
        M::MsgBox(QStringLiteral("The records of rows %1 were deleted by another user, so "
                                 "their changes were not saved!!!")
                      .arg(rowList(saved.goneRows)));
    if (changes.records.empty() || changes.records.size() > saved.goneRows.size())
        M::MsgBox(QStringLiteral("Changes have Saved!"));
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
    m_load = new kestrel::LoadTurns(
        {[this](const QDeadlineTimer &deadline) { return m_rows->loadTurn(deadline); },
         [this] { showArrivedRows(); }, [this] { return qint64(m_rows->rowCount()); }},
        this);
    connect(m_load, &kestrel::LoadTurns::ended, this, &Frm_EditResults::endLoading);
    connect(m_load, &kestrel::LoadTurns::failed, this, &Frm_EditResults::closeAfterFailure);
    // Esc leaves an open editor as the cell was; on the grid it stops a
    // load still running, then closes the window, as it does in a list.
    answerEscapeWith([this] {
        if (m_editors->isEditing())
            m_editors->EditorKey(kestrel::KeyCodeEsc);
        else if (m_load->isLoading())
            stopLoading();
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
    const QPointer<Frm_EditResults> alive(this);
    LoadGrid();
    if (!alive || isUnloading())
        return;
    Form_Resize();
}

void Frm_EditResults::LoadGrid()
{
    // Show Changes and Save wait for every row; the rows that arrived can
    // be edited meanwhile.
    m_ui->cmd_Show->setEnabled(false);
    m_ui->cmd_Save->setEnabled(false);
    m_printReceipt->setEnabled(false);
    if (!m_rows->startLoad(m_statement, m_columns, m_dataColumns, m_joined)) {
        closeAfterFailure();
        return;
    }
    m_firstRowsShown = false;
    m_load->start();
    while (m_load->isLoading() && m_rows->rowCount() < FirstScreenRows)
        m_load->firstTurn();
}

bool Frm_EditResults::isLoading() const
{
    return m_load->isLoading();
}

void Frm_EditResults::showArrivedRows()
{
    m_rows->showRows();
    if (!m_firstRowsShown && m_ui->fxg_QueryResult->Rows() > 1) {
        m_firstRowsShown = true;
        m_ui->fxg_QueryResult->setRow(1);
        m_ui->fxg_QueryResult->setCol(std::min(2, m_dataColumns));
    }
}

void Frm_EditResults::endLoading()
{
    // Nothing to compare or save: the one row is a message.
    const bool records = !m_rows->noRows();
    m_ui->cmd_Show->setEnabled(records);
    m_ui->cmd_Save->setEnabled(records);
    m_printReceipt->setEnabled(m_joined && records);
}

void Frm_EditResults::stopLoading()
{
    m_rows->stopLoad();
    m_load->stopped();
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
    if (m_rows->noRows() || m_failed || (host && host->isClosingAllForms()))
        return true;
    m_editors->EndEdit();
    const auto changes = m_rows->records().changes();
    if (changes && changes->records.empty())
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
    // Nothing more is read for a window that goes: the connection is
    // released now, not when the deletion comes round.
    m_rows->stopLoad();
    m_load->abandon();
    M::EditGridJoined = false;
}

void Frm_EditResults::cmd_Show_Click()
{
    CompareRows(false);
}

void Frm_EditResults::mnu_PrintReceipt_Click()
{
    const int row = m_ui->fxg_QueryResult->Row();
    if (m_joined && !m_rows->noRows() && row >= 1 && row <= m_rows->rowCount())
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
    if (m_rows->noRows() || m_load->isLoading())
        return;
    if (save)
        saveChanges();
    else
        showChanges();
}

void Frm_EditResults::showChanges()
{
    std::vector<kestrel::GridCell> changed;
    const bool compared = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
        changed = kestrel::edit::compareRows(c, m_statement, m_rows->records());
    });
    if (!compared) {
        closeAfterFailure();
        return;
    }
    m_rows->markChanged(changed);
    M::MsgBox(QStringLiteral("Changes have checked!"));
}

void Frm_EditResults::saveChanges()
{
    const kestrel::Outcome<kestrel::edit::ChangeSet> changes = m_rows->records().changes();
    if (!changes) {
        showRefusal(changes.refusal());
        return;
    }
    std::optional<kestrel::Outcome<kestrel::edit::SavedRows>> saved;
    if (!changes->records.empty()) {
        const bool ran = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
            saved = kestrel::edit::saveGridChanges(c, m_rows->records(), changes.value());
        });
        if (!ran) {
            closeAfterFailure();
            return;
        }
    }
    if (saved && !*saved) {
        showRefusal(saved->refusal());
        return;
    }
    const kestrel::edit::SavedRows rows = saved ? saved->value() : kestrel::edit::SavedRows{};
    m_rows->showSaved(rows);
    reportSaved(changes.value(), rows);
    if (!rows.othersChanged.empty())
        noteOthersChanges(rows.othersChanged);
}

void Frm_EditResults::showRefusal(const kestrel::Refusal &refusal)
{
    m_rows->markChanged(refusal.cells);
    M::MsgBox(refusal.message);
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
