#include "reports/Frm_QueryResults.h"
#include "ui_Frm_QueryResults.h"

#include "core/database/ConnectionCycle.h"
#include "core/shared/FieldText.h"
#include "core/shared/Formats.h"
#include "core/statements/Deletes.h"
#include "core/statements/Records.h"
#include "widgets/ColumnShares.h"
#include "widgets/FlexGrid.h"
#include "widgets/FormHost.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <cmath>
#include <stdexcept>

namespace M = mdl_Variables_Functions;
using kestrel::fmt::pixelsToTwips;
using kestrel::fmt::twipsToPixels;

namespace {

const QColor StripeColor(200, 255, 230);

// Margins of the layout, in twips: the frame sits 120 in from the window's
// sides, the grid 120 in from the frame's sides and below its caption.
constexpr int FrameLeft = 120;
constexpr int FrameWidthMargin = 240;
constexpr int FrameHeightMargin = 120;
constexpr int GridLeft = 120;
constexpr int GridTop = 280;
constexpr int GridWidthMargin = 240;
constexpr int GridHeightMargin = 400;

constexpr int MaxDataColumns = M::ColumnTableColumns - 1;

// Streams result rows into the grid: column j shows the field that slot 1 of
// column j names, in Kestrel's text form, rows 1, 3, 5, ... tinted.
class GridLoader {
public:
    GridLoader(kestrel::FlexGrid &grid, const M::ColumnTable &columns, int dataColumns)
        : m_grid(grid), m_columns(columns), m_fields(size_t(dataColumns + 1), -1),
          m_types(size_t(dataColumns + 1), 0), m_texts(size_t(dataColumns + 1)),
          m_views(size_t(dataColumns + 1))
    {
    }

    // A field that the result does not have fails the load.
    void findFields(const std::vector<kestrel::db::Column> &result)
    {
        for (size_t j = 1; j < m_fields.size(); ++j) {
            const QString &field = m_columns[j][M::SlotField];
            const int index = kestrel::db::columnIndex(result, field);
            if (index < 0)
                throw std::runtime_error("the result has no field " + field.toStdString());
            m_fields[j] = index;
            m_types[j] = result[size_t(index)].sqlType;
        }
    }

    void append(const kestrel::db::Row &row)
    {
        for (size_t j = 1; j < m_fields.size(); ++j) {
            m_texts[j] = kestrel::fieldText(row[size_t(m_fields[j])], m_types[j]);
            m_views[j] = m_texts[j];
        }
        m_grid.appendRow(m_views, m_rows % 2 == 0 ? StripeColor : QColor());
        ++m_rows;
    }

    qint64 rows() const { return m_rows; }

private:
    kestrel::FlexGrid &m_grid;
    const M::ColumnTable &m_columns;
    std::vector<int> m_fields;
    std::vector<int> m_types;
    std::vector<QString> m_texts;
    std::vector<QStringView> m_views;
    qint64 m_rows = 0;
};

} // namespace

Frm_QueryResults::Frm_QueryResults(QWidget *parent)
    : kestrel::KForm(parent), ui(new Ui::Frm_QueryResults)
{
    ui->setupUi(this);
    frm_QueryResult = ui->frm_QueryResult;
    fxg_QueryResult = ui->fxg_QueryResult;
    m_frameWidth = pixelsToTwips(frm_QueryResult->width());
    m_frameHeight = pixelsToTwips(frm_QueryResult->height());
    m_gridWidth = pixelsToTwips(fxg_QueryResult->width());
    m_gridHeight = pixelsToTwips(fxg_QueryResult->height());
    // Keys go to the rows: arrows move, Enter and Delete act on the current one.
    setFocusProxy(fxg_QueryResult);
    connect(fxg_QueryResult, &kestrel::FlexGrid::DblClick, this,
            &Frm_QueryResults::fxg_QueryResult_DblClick);
    fxg_QueryResult->installEventFilter(this);
}

Frm_QueryResults::~Frm_QueryResults()
{
    delete ui;
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
    kestrel::FlexGrid &grid = *fxg_QueryResult;
    const int n = std::clamp(M::QryColCount, 1, MaxDataColumns);
    grid.setMergeRow(1, false);
    grid.setRows(1);
    grid.setCols(n + 1);
    for (int j = 0; j <= n; ++j)
        grid.setTextMatrix(0, j, QString());
    m_noItems = false;

    GridLoader loader(grid, CellNameFormat, n);
    grid.beginBulkAppend();
    const bool ok = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
        c.queryEach(
            SQL,
            [&](const std::vector<kestrel::db::Column> &columns) { loader.findFields(columns); },
            [&](const kestrel::db::Row &row) { loader.append(row); });
    });
    grid.endBulkAppend();
    if (!ok) {
        Unload();
        return;
    }
    if (loader.rows() == 0) {
        showNoItems(n);
        return;
    }
    for (int j = 1; j <= n; ++j)
        grid.setTextMatrix(0, j, CellNameFormat[size_t(j)][M::SlotHeader]);
    grid.setRow(1);
    grid.setCol(1);
}

void Frm_QueryResults::showNoItems(int dataColumns)
{
    kestrel::FlexGrid &grid = *fxg_QueryResult;
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
    frm_QueryResult->setGeometry(twipsToPixels(FrameLeft), 0, twipsToPixels(m_frameWidth),
                                 twipsToPixels(m_frameHeight));
    fxg_QueryResult->setGeometry(twipsToPixels(GridLeft), twipsToPixels(GridTop),
                                 twipsToPixels(m_gridWidth), twipsToPixels(m_gridHeight));
    kestrel::shareColumnWidths(*fxg_QueryResult, ColWthPrc);
}

void Frm_QueryResults::resizeEvent(QResizeEvent *event)
{
    kestrel::KForm::resizeEvent(event);
    DoResize(m_columns);
}

void Frm_QueryResults::closeEvent(QCloseEvent *event)
{
    kestrel::KForm::closeEvent(event);
    if (event->isAccepted())
        M::LowerResultWindowFlags();
}

bool Frm_QueryResults::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fxg_QueryResult && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (fxg_QueryResult_KeyDown(key->key(), key->modifiers()))
            return true;
    }
    return kestrel::KForm::eventFilter(watched, event);
}

bool Frm_QueryResults::fxg_QueryResult_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
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
    return fxg_QueryResult->TextMatrix(fxg_QueryResult->Row(), col);
}

void Frm_QueryResults::fxg_QueryResult_DblClick()
{
    // The "No Items" row is a message, not a record.
    if (m_noItems || fxg_QueryResult->Row() < 1)
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
    const std::optional<kestrel::sql::ReferenceCheck> check =
        kestrel::sql::referencesTo(M::DeleteTable, id);
    const kestrel::db::Statement statement = kestrel::sql::deleteRecord(M::DeleteTable, id);
    qint64 references = 0;
    qint64 deleted = -1;
    const bool done = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
        // Counted and deleted in one transaction: no sale can come to refer
        // to the record in between.
        kestrel::db::Transaction transaction(c);
        if (check) {
            const kestrel::db::ResultSet counted = c.query(check->count);
            references = counted.rows.at(0).at(0).value_or(QString()).toLongLong();
            if (references > 0)
                return;
        }
        deleted = c.execute(statement);
        transaction.commit();
    });
    if (!done)
        Unload();
    else if (references > 0)
        M::MsgBox(kestrel::sql::deleteRefused(*check, id, references));
    else if (deleted == 0)
        M::MsgBox(kestrel::sql::alreadyDeleted(id));
}

void Frm_QueryResults::Pick()
{
    QStringList cells;
    for (int c = 0; c < fxg_QueryResult->Cols(); ++c)
        cells.append(T(c));
    M::LowerResultWindowFlags();
    // The opener's function knows whether the opener is still there.
    if (m_pickHandOver)
        m_pickHandOver(cells);
    Unload();
}
