#include "reports/Frm_QueryResults.h"
#include "ui_Frm_QueryResults.h"

#include "core/database/ConnectionCycle.h"
#include "core/shared/Formats.h"
#include "core/statements/Deletes.h"
#include "reports/ResultRows.h"
#include "widgets/ColumnShares.h"
#include "widgets/FlexGrid.h"
#include "widgets/FormHost.h"
#include "widgets/GridExport.h"
#include "widgets/LoadTurns.h"
#include "widgets/ResultFrame.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <cmath>
#include <utility>

namespace M = mdl_Variables_Functions;
using kestrel::fmt::pixelsToTwips;
using kestrel::fmt::twipsToPixels;

namespace {

using namespace kestrel::resultframe;

// The grid leaves 240 of the frame's width and 400 of its height to margins.
constexpr int GridWidthMargin = 240;
constexpr int GridHeightMargin = 400;

constexpr int MaxDataColumns = M::ColumnTableColumns - 1;

// How long the status bar says that an export holds only part of the list.
constexpr int PartExportNoteMs = 15000;

} // namespace

Frm_QueryResults::Frm_QueryResults(QWidget *parent)
    : kestrel::KForm(parent), m_ui(new Ui::Frm_QueryResults),
      m_stop(new QShortcut(QKeySequence(Qt::Key_Escape), this))
{
    m_ui->setupUi(this);
    m_frameWidth = pixelsToTwips(m_ui->frm_QueryResult->width());
    m_frameHeight = pixelsToTwips(m_ui->frm_QueryResult->height());
    m_gridWidth = pixelsToTwips(m_ui->fxg_QueryResult->width());
    m_gridHeight = pixelsToTwips(m_ui->fxg_QueryResult->height());
    connect(m_ui->fxg_QueryResult, &kestrel::FlexGrid::DblClick, this,
            &Frm_QueryResults::fxg_QueryResult_DblClick);
    connect(m_ui->mnu_ExportCsv, &QAction::triggered, this, &Frm_QueryResults::mnu_ExportCsv_Click);
    connect(m_ui->mnu_ExportPdf, &QAction::triggered, this, &Frm_QueryResults::mnu_ExportPdf_Click);
    connect(m_ui->mnu_Print, &QAction::triggered, this, &Frm_QueryResults::mnu_Print_Click);
    m_ui->fxg_QueryResult->installEventFilter(this);
    // The window's keys are the grid's: it opens ready for the arrows,
    // Page Down, Enter and Esc.
    setFocusProxy(m_ui->fxg_QueryResult);
    // A list that arrives within the first turn is whole before the window
    // shows.
    m_loadTurns =
        new kestrel::LoadTurns({[this](const QDeadlineTimer &deadline) {
                                    m_ui->fxg_QueryResult->beginBulkAppend();
                                    return m_load.read(deadline, [this](kestrel::db::RowBytes row) {
                                        m_rows->append(row);
                                    });
                                },
                                [this] { showArrivedRows(); }, [this] { return m_rows->rows(); }},
                               this);
    connect(m_loadTurns, &kestrel::LoadTurns::finished, this, &Frm_QueryResults::loadingDone);
    connect(m_loadTurns, &kestrel::LoadTurns::failed, this, &Frm_QueryResults::Unload);
    connect(m_loadTurns, &kestrel::LoadTurns::ended, this, [this] {
        enableExport();
        emit loadingFinished();
    });
    enableExport();
    // Esc stops a list that is still loading and keeps what arrived; a
    // second Esc, or the first once every row is in, closes the window (a
    // chooser without a pick).
    m_stop->setContext(Qt::WidgetWithChildrenShortcut);
    connect(m_stop, &QShortcut::activated, this, [this] {
        if (isLoading())
            stopLoading();
        else
            Unload();
    });
}

Frm_QueryResults::~Frm_QueryResults()
{
    delete m_ui;
}

QSize Frm_QueryResults::sizeHint() const
{
    return {960, 480};
}

QPointer<Frm_QueryResults> Frm_QueryResults::Open(const kestrel::ResultRequest &request)
{
    kestrel::FormHost *host = kestrel::FormHost::instance();
    if (!host)
        return nullptr;
    host->closeForm<Frm_QueryResults>();
    // Whatever was left raised belongs to no request any more.
    M::LowerResultWindowFlags();
    request.writeContract();
    QPointer<Frm_QueryResults> form = host->showForm<Frm_QueryResults>();
    if (!form || form->isUnloading())
        return nullptr;
    return form;
}

Frm_QueryResults::Mode Frm_QueryResults::modeFromFlags()
{
    if (M::EditTransPickProduct)
        return Mode::EditTransPickProduct;
    if (M::EditTransPickCustomer)
        return Mode::EditTransPickCustomer;
    if (M::EditGridPick)
        return Mode::EditGridPick;
    if (M::DeleteMode)
        return Mode::Delete;
    if (M::AddTransPickCustomer)
        return Mode::AddTransPickCustomer;
    if (M::AddTransPickProduct)
        return Mode::AddTransPickProduct;
    return Mode::Report;
}

void Frm_QueryResults::Form_Load()
{
    m_mode = modeFromFlags();
    m_pickHandOver = M::QryPickHandOver;
    m_columns = M::QryCellNameFormat;
    QPointer<Frm_QueryResults> alive(this);
    QueryResult(M::QrySQL, m_columns);
    if (!alive || isUnloading())
        return;
    setWindowTitle(M::QryCaption);
    DoResize(m_columns);
}

void Frm_QueryResults::QueryResult(const kestrel::db::Statement &SQL,
                                   const M::ColumnTable &CellNameFormat)
{
    kestrel::FlexGrid &grid = *m_ui->fxg_QueryResult;
    const int n = std::clamp(M::QryColCount, 1, MaxDataColumns);
    grid.setMergeRow(1, false);
    grid.setRows(1);
    grid.setCols(n + 1);
    for (int j = 0; j <= n; ++j)
        grid.setTextMatrix(0, j, QString());
    m_noItems = false;
    m_stopped = false;
    m_statement = SQL;
    m_headersShown = false;

    // Rows keep arriving after this returns: the window reads its own copy
    // of the columns, whatever becomes of the table it was given.
    if (&CellNameFormat != &m_columns)
        m_columns = CellNameFormat;
    m_rows = std::make_unique<kestrel::ResultRows>(grid, m_columns, n);
    const bool started = m_load.start(SQL, [this](const std::vector<kestrel::db::Column> &columns) {
        m_rows->findFields(columns);
    });
    if (!started) {
        Unload();
        return;
    }
    m_loadTurns->start();
    enableExport();
}

qint64 Frm_QueryResults::loadedRows() const
{
    return m_rows ? m_rows->rows() : 0;
}

bool Frm_QueryResults::isLoading() const
{
    return m_loadTurns->isLoading();
}

void Frm_QueryResults::loadingDone()
{
    if (m_rows->rows() == 0)
        showNoItems(m_ui->fxg_QueryResult->Cols() - 1);
    // Outside the turn: an export opens dialogs of its own.
    if (const auto command = std::exchange(m_afterLoading, nullptr))
        QTimer::singleShot(0, this, command);
}

void Frm_QueryResults::showArrivedRows()
{
    m_ui->fxg_QueryResult->endBulkAppend();
    if (!m_headersShown && m_rows->rows() > 0)
        showHeaders();
    keepColumnsFitting();
}

void Frm_QueryResults::showHeaders()
{
    m_headersShown = true;
    kestrel::FlexGrid &grid = *m_ui->fxg_QueryResult;
    for (int j = 1; j < grid.Cols(); ++j)
        grid.setTextMatrix(0, j, m_columns[size_t(j)][M::SlotHeader]);
    grid.setRow(1);
    grid.setCol(1);
}

void Frm_QueryResults::stopLoading()
{
    if (!isLoading())
        return;
    m_load.stop();
    m_stopped = true;
    m_afterLoading = nullptr;
    m_loadTurns->stopped();
}

void Frm_QueryResults::keepColumnsFitting()
{
    if (m_ui->fxg_QueryResult->clientWidth() != m_fittedWidth)
        DoResize(m_columns);
}

void Frm_QueryResults::showNoItems(int dataColumns)
{
    kestrel::FlexGrid &grid = *m_ui->fxg_QueryResult;
    grid.setRows(2);
    for (int j = 1; j <= dataColumns; ++j)
        grid.setTextMatrix(1, j, NoItemsText);
    grid.setMergeRow(1, true);
    m_noItems = true;
}

void Frm_QueryResults::DoResize(const M::ColumnTable &ColWthPrc)
{
    const int innerWidth = pixelsToTwips(width());
    const int innerHeight = pixelsToTwips(height());
    // Below the minimum a length keeps its last value rather than going
    // negative.
    if (innerWidth >= FrameWidthMargin)
        m_frameWidth = innerWidth - FrameWidthMargin;
    if (innerHeight >= FrameHeightMargin)
        m_frameHeight = innerHeight - FrameHeightMargin;
    if (m_frameWidth >= GridWidthMargin)
        m_gridWidth = m_frameWidth - GridWidthMargin;
    if (m_frameHeight >= GridHeightMargin)
        m_gridHeight = m_frameHeight - GridHeightMargin;
    m_ui->frm_QueryResult->setGeometry(twipsToPixels(FrameLeft), 0, twipsToPixels(m_frameWidth),
                                       twipsToPixels(m_frameHeight));
    m_ui->fxg_QueryResult->setGeometry(twipsToPixels(GridLeft), twipsToPixels(GridTop),
                                       twipsToPixels(m_gridWidth), twipsToPixels(m_gridHeight));
    kestrel::shareColumnWidths(*m_ui->fxg_QueryResult, ColWthPrc);
    m_fittedWidth = m_ui->fxg_QueryResult->clientWidth();
}

void Frm_QueryResults::resizeEvent(QResizeEvent *event)
{
    kestrel::KForm::resizeEvent(event);
    DoResize(m_columns);
}

void Frm_QueryResults::closeEvent(QCloseEvent *event)
{
    kestrel::KForm::closeEvent(event);
    if (!event->isAccepted())
        return;
    // Nothing more is read for a window that goes: the connection is
    // released now, not when the deletion comes round.
    m_load.stop();
    m_loadTurns->abandon();
    M::LowerResultWindowFlags();
}

QPointer<Frm_QueryResults>
Frm_QueryResults::OpenChooser(kestrel::ResultRequest request, bool *pickFlag, QObject *opener,
                              std::function<void(const QStringList &)> take)
{
    request.pickFlag = pickFlag;
    const QPointer<QObject> alive(opener);
    request.onPick = [alive, take = std::move(take)](const QStringList &cells) {
        const auto *form = qobject_cast<const kestrel::KForm *>(alive.data());
        if (alive && !(form && form->isUnloading()))
            take(cells);
    };
    QPointer<Frm_QueryResults> chooser = Open(request);
    if (chooser)
        chooser->m_ui->fxg_QueryResult->setFocus();
    return chooser;
}

bool Frm_QueryResults::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->fxg_QueryResult && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (fxg_QueryResult_KeyDown(key->key(), key->modifiers()))
            return true;
    }
    return kestrel::KForm::eventFilter(watched, event);
}

bool Frm_QueryResults::fxg_QueryResult_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        showListMenu();
        return true;
    }
    if (modifiers & ~Qt::KeypadModifier)
        return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        fxg_QueryResult_DblClick();
        return true;
    }
    if (key == Qt::Key_Delete && m_mode == Mode::Delete) {
        fxg_QueryResult_DblClick();
        return true;
    }
    return false;
}

QString Frm_QueryResults::T(int col) const
{
    return m_ui->fxg_QueryResult->TextMatrix(m_ui->fxg_QueryResult->Row(), col);
}

void Frm_QueryResults::fxg_QueryResult_DblClick()
{
    // The "No Items" row is a message, not a record.
    if (m_noItems || m_ui->fxg_QueryResult->Row() < 1)
        return;
    switch (m_mode) {
    case Mode::Report:
        return;
    case Mode::Delete:
        DeleteRow();
        return;
    default:
        Pick();
        return;
    }
}

void Frm_QueryResults::DeleteRow()
{
    const QString id = T(1);
    const M::MsgAnswer answer =
        M::MsgBox(QStringLiteral("Are You sure You want to DELETE Row with ID #") + id,
                  M::MsgButtons::YesNo, M::MsgIcon::Critical, QStringLiteral("Delete"));
    if (answer != M::MsgAnswer::Yes)
        return;
    // The row stays on screen: the window shows what the table held when it
    // opened, and stays in delete mode for the next row.
    std::optional<kestrel::Outcome<kestrel::Done>> deleted;
    const bool ran = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
        deleted = kestrel::sql::deleteUnreferenced(c, M::DeleteTable, id);
    });
    if (!ran)
        Unload();
    else if (!deleted->isDone())
        M::MsgBox(deleted->refusal().message); // the row stays to be deleted again
}

void Frm_QueryResults::Pick()
{
    QStringList cells;
    for (int c = 0; c < m_ui->fxg_QueryResult->Cols(); ++c)
        cells.append(T(c));
    M::LowerResultWindowFlags();
    // The opener's function knows whether the opener is still there.
    if (m_pickHandOver)
        m_pickHandOver(cells);
    Unload();
}

bool Frm_QueryResults::canExport() const
{
    return !isLoading() && !m_noItems && m_ui->fxg_QueryResult->Rows() > 1;
}

void Frm_QueryResults::enableExport()
{
    const bool on = canExport();
    for (QAction *action : {m_ui->mnu_ExportCsv, m_ui->mnu_ExportPdf, m_ui->mnu_Print})
        action->setEnabled(on);
}

void Frm_QueryResults::showListMenu()
{
    const QRect cell =
        m_ui->fxg_QueryResult->cellRect(m_ui->fxg_QueryResult->Row(), m_ui->fxg_QueryResult->Col());
    const QPoint at = cell.isValid() ? cell.center() : QPoint(0, 0);
    QMenu::exec(m_ui->fxg_QueryResult->actions(), m_ui->fxg_QueryResult->mapToGlobal(at), nullptr,
                m_ui->fxg_QueryResult);
}

bool Frm_QueryResults::readyToExport(void (Frm_QueryResults::*command)(), const QString &action)
{
    if (!canExport())
        return false;
    if (!m_stopped)
        return true;
    const M::MsgAnswer answer = M::MsgBox(
        QStringLiteral("Loading was stopped: the list holds only the %1 rows loaded so far.\n%2 "
                       "just these rows? Answer No to load the whole list first.")
            .arg(loadedRows())
            .arg(action),
        M::MsgButtons::YesNo, M::MsgIcon::None, windowTitle());
    if (answer == M::MsgAnswer::Yes)
        return true;
    m_afterLoading = command;
    QueryResult(m_statement, m_columns);
    return false;
}

QString Frm_QueryResults::partOfListNote() const
{
    return m_stopped ? QStringLiteral("part of the list: the %1 rows loaded before loading was "
                                      "stopped")
                           .arg(loadedRows())
                     : QString();
}

void Frm_QueryResults::exportAs(const std::vector<kestrel::ExportFormat> &formats)
{
    const QString note = partOfListNote();
    const kestrel::ExportResult result =
        kestrel::exportGrid(*m_ui->fxg_QueryResult, windowTitle(), formats, this, note);
    kestrel::FormHost *host = kestrel::FormHost::instance();
    if (result == kestrel::ExportResult::Saved && !note.isEmpty() && host && host->formStatusBar())
        host->formStatusBar()->showMessage(QStringLiteral("Exported ") + note + u'.',
                                           PartExportNoteMs);
}

void Frm_QueryResults::mnu_ExportCsv_Click()
{
    if (readyToExport(&Frm_QueryResults::mnu_ExportCsv_Click, QStringLiteral("Export")))
        exportAs({kestrel::ExportFormat::Csv});
}

void Frm_QueryResults::mnu_ExportPdf_Click()
{
    if (readyToExport(&Frm_QueryResults::mnu_ExportPdf_Click, QStringLiteral("Export")))
        exportAs({kestrel::ExportFormat::Pdf});
}

void Frm_QueryResults::mnu_Print_Click()
{
    PrintList();
}

void Frm_QueryResults::ExportList()
{
    if (readyToExport(&Frm_QueryResults::ExportList, QStringLiteral("Export")))
        exportAs({kestrel::ExportFormat::Csv, kestrel::ExportFormat::Pdf});
}

void Frm_QueryResults::PrintList()
{
    if (readyToExport(&Frm_QueryResults::PrintList, QStringLiteral("Print")))
        kestrel::printGrid(*m_ui->fxg_QueryResult, windowTitle(), this, partOfListNote());
}
