#include "core/editing/GridRecords.h"

#include "core/shared/EditRequest.h"
#include "core/shared/Formats.h"
#include "core/shared/Money.h"
#include "core/statements/Edit.h"
#include "core/statements/Sale.h"

#include <QSet>
#include <algorithm>
#include <stdexcept>

namespace M = mdl_Variables_Functions;

namespace kestrel::edit {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isId(const QString &field)
{
    return sameName(field, QStringLiteral("ID"));
}

qint64 numericId(bool ok, qint64 id)
{
    if (!ok)
        throw std::runtime_error("a row without a numeric ID");
    return id;
}

qint64 recordId(const db::Value &value)
{
    bool ok = false;
    const qint64 id = value ? value->toLongLong(&ok) : 0;
    return numericId(ok, id);
}

qint64 recordId(const db::FieldBytes &field)
{
    bool ok = false;
    const qint64 id = field.null ? 0 : field.text.toLongLong(&ok);
    return numericId(ok, id);
}

// The role a column takes in a grid of records from table.
ColumnRole roleOf(const GridColumn &c, const db::Column &shown, const QString &table, bool sales)
{
    const bool pick = sales && c.editor == editor::Pick;
    if (pick
        && (sameName(c.field, QStringLiteral("FirstName"))
            || sameName(c.field, QStringLiteral("SurName"))))
        return ColumnRole::PickCustomer;
    if (pick && sameName(c.field, QStringLiteral("Description")))
        return ColumnRole::PickProduct;
    if (!isId(c.field) && !table.isEmpty() && shown.baseTable == table)
        return ColumnRole::Field;
    return ColumnRole::ReadOnly;
}

} // namespace

ResultFields::ResultFields(const std::vector<db::Column> &result,
                           const std::vector<GridColumn> &columns, bool required)
    : index(columns.size(), -1), type(columns.size(), 0)
{
    for (size_t j = 1; j < columns.size(); ++j) {
        index[j] = db::columnIndex(result, columns[j].field);
        if (index[j] < 0 && required)
            throw std::runtime_error("the result has no field " + columns[j].field.toStdString());
        if (index[j] >= 0)
            type[j] = result[size_t(index[j])].sqlType;
    }
    id = db::columnIndex(result, QStringLiteral("ID"));
    if (id < 0)
        throw std::runtime_error("the result has no ID to pair its rows with records");
}

GridRecords::GridRecords(const M::ColumnTable &columns, int dataColumns, bool sales)
    : m_columns(size_t(dataColumns) + 1), m_sales(sales), m_scratch(m_columns.size())
{
    for (int j = 1; j <= dataColumns; ++j) {
        GridColumn &c = m_columns[size_t(j)];
        c.editor = columns[size_t(j)][M::SlotEditor];
        c.field = columns[size_t(j)][M::SlotField];
        c.header = columns[size_t(j)][M::SlotHeader];
    }
}

void GridRecords::describe(const std::vector<db::Column> &result)
{
    m_fields.emplace(result, m_columns, true);
    // The records' own table is the one their IDs come from: turnover for
    // sales, whatever the find form searched otherwise.
    m_table = result[size_t(m_fields->id)].baseTable;
    for (size_t j = 1; j < m_columns.size(); ++j) {
        GridColumn &c = m_columns[j];
        const db::Column &shown = result[size_t(m_fields->index[j])];
        c.rule = fieldRule(c.field, shown);
        c.role = roleOf(c, shown, m_table, m_sales);
        // An ID is never changed (a customer's sales would lose their
        // customer), and neither is what is not the record's own.
        const bool known = c.editor == editor::Text || c.editor == editor::List
                           || c.editor == editor::Date || c.editor == editor::Pick;
        if (known && c.role == ColumnRole::ReadOnly)
            c.editor = editor::LockedText;
        if (c.editor == editor::Pick && c.role == ColumnRole::Field)
            c.editor = editor::LockedText;
    }
}

void GridRecords::append(db::RowBytes row)
{
    const qint64 id = recordId(row[size_t(m_fields->id)]);
    // Fields go from the server's bytes into the pool without a string of
    // their own.
    m_loaded.emplace_back();
    for (size_t j = 1; j < m_columns.size(); ++j) {
        const db::FieldBytes &field = row[size_t(m_fields->index[j])];
        const QByteArrayView text =
            cellText(field.text, field.null, m_fields->type[j], m_scratch[j]);
        m_loaded.push_back(m_pool.store(QUtf8StringView(text.data(), text.size())));
    }
    m_ids.push_back(id);
    if (!m_rowOfId.isEmpty() && !m_rowOfId.contains(id))
        m_rowOfId.insert(id, rowCount());
}

int GridRecords::columnOf(const QString &field) const
{
    for (size_t j = 1; j < m_columns.size(); ++j) {
        if (sameName(m_columns[j].field, field))
            return int(j);
    }
    return 0;
}

int GridRecords::rowOf(qint64 id, int hint) const
{
    // The statement usually returns the records in the order it did before.
    if (hint >= 1 && hint <= rowCount() && m_ids[size_t(hint - 1)] == id)
        return hint;
    if (m_rowOfId.isEmpty()) {
        m_rowOfId.reserve(qsizetype(m_ids.size()));
        for (size_t i = m_ids.size(); i-- > 0;)
            m_rowOfId.insert(m_ids[i], int(i) + 1); // the first row wins
    }
    return m_rowOfId.value(id, 0);
}

QAnyStringView GridRecords::loadedText(int row, int col) const
{
    return m_pool.view(m_loaded[at(row, col)]);
}

QAnyStringView GridRecords::textView(int row, int col) const
{
    const auto edited = m_edits.find({row, col});
    return edited != m_edits.end() ? QAnyStringView(edited->second) : loadedText(row, col);
}

void GridRecords::edit(int row, int col, const QString &text)
{
    m_edits[{row, col}] = text;
}

std::vector<int> GridRecords::pick(int row, ColumnRole role, qint64 id, const QString &first,
                                   const QString &second)
{
    if (row < 1 || row > rowCount())
        return {};
    const bool customer = role == ColumnRole::PickCustomer;
    Picks &picks = m_picks[row];
    (customer ? picks.customer : picks.product) = id;
    const QString fields[] = {customer ? QStringLiteral("FirstName")
                                       : QStringLiteral("Description"),
                              customer ? QStringLiteral("SurName") : QStringLiteral("UM")};
    const QString names[] = {first, second};
    std::vector<int> written;
    for (int i = 0; i < 2; ++i) {
        if (const int col = columnOf(fields[i])) {
            edit(row, col, names[i]);
            written.push_back(col);
        }
    }
    return written;
}

ChangedCell GridRecords::changedCell(int row, int col) const
{
    return {col, m_columns[size_t(col)].field, loadedText(row, col).toString(), text(row, col)};
}

RecordChange &GridRecords::changeOf(std::map<int, RecordChange> &records, int row) const
{
    RecordChange &change = records[row];
    change.gridRow = row;
    change.id = idOf(row);
    return change;
}

Outcome<ChangeSet> GridRecords::changes() const
{
    ChangeSet set;
    set.table = m_table;
    set.sales = m_sales;
    for (const GridColumn &c : m_columns)
        set.headers.push_back(c.header);

    std::map<int, RecordChange> records;
    for (const auto &[cell, text] : m_edits) {
        const GridColumn &c = m_columns[size_t(cell.col)];
        if (c.role != ColumnRole::Field || loadedText(cell.row, cell.col) == text)
            continue;
        const std::variant<db::SqlValue, QString> value = storableValue(c.rule, text);
        if (const auto *problem = std::get_if<QString>(&value))
            return Refusal{QStringLiteral("%1: \"%2\" %3! Nothing was saved!!!")
                               .arg(cellName(set, cell.row, cell.col), quoted(text), *problem),
                           {cell}};
        RecordChange &change = changeOf(records, cell.row);
        change.cells.push_back(changedCell(cell.row, cell.col));
        change.writes.push_back({c.field, std::get<db::SqlValue>(value)});
    }
    // A picked customer or product is stored by its ID, never by its names;
    // the names it replaced must still be the record's.
    for (const auto &[row, picks] : m_picks) {
        const std::pair<std::optional<qint64>, ColumnRole> both[] = {
            {picks.customer, ColumnRole::PickCustomer}, {picks.product, ColumnRole::PickProduct}};
        for (const auto &[id, role] : both) {
            if (!id || !m_sales)
                continue;
            RecordChange &change = changeOf(records, row);
            for (int j = 1; j <= dataColumns(); ++j) {
                if (m_columns[size_t(j)].role == role)
                    change.cells.push_back(changedCell(row, j));
            }
            const QString field = role == ColumnRole::PickCustomer ? QStringLiteral("CustomerID")
                                                                   : QStringLiteral("ProductID");
            change.writes.push_back({field, db::SqlValue::integer(*id)});
        }
    }
    for (auto &[row, change] : records) {
        if (m_sales)
            taxFollowsPrice(change);
        set.records.push_back(std::move(change));
    }
    return set;
}

void GridRecords::taxFollowsPrice(RecordChange &change) const
{
    const auto written = [&](const QString &field) {
        return std::find_if(change.writes.begin(), change.writes.end(),
                            [&](const sql::FieldValue &w) { return sameName(w.field, field); });
    };
    const QString taxField = QStringLiteral("PricewTax");
    const auto price = written(QStringLiteral("Price"));
    if (price == change.writes.end() || written(taxField) != change.writes.end())
        return; // an operator who changed both keeps both
    const std::optional<Money> net = Money::parse(price->value.string());
    const std::optional<Money> withTax = net ? sql::priceWithTax(*net) : std::nullopt;
    if (!withTax)
        return; // beyond the largest amount: the server keeps the one it has
    // Written over the value the grid loaded, so never over another user's.
    if (const int col = columnOf(taxField)) {
        ChangedCell cell = changedCell(change.gridRow, col);
        cell.text = fmt::formatAmount(*withTax);
        change.cells.push_back(cell);
    }
    change.writes.push_back({taxField, withTax->toSql()});
}

std::vector<int> GridRecords::takeSaved(const ChangeSet &changes, const StoredTexts &stored)
{
    std::vector<int> othersChanged;
    for (const RecordChange &change : changes.records) {
        const int row = change.gridRow;
        const auto texts = stored.find(row);
        if (texts == stored.end())
            continue; // gone meanwhile: nothing of it was written
        // A cell this save did not write that comes back different holds
        // another user's change, merged with ours.
        bool others = false;
        for (int j = 1; j <= dataColumns(); ++j) {
            const std::optional<QString> &now = texts->second[size_t(j)];
            const bool edited = m_edits.erase({row, j}) > 0;
            if (!now)
                continue;
            const bool ours = edited
                              || std::any_of(change.cells.begin(), change.cells.end(),
                                             [&](const ChangedCell &c) { return c.gridCol == j; });
            others = others || (!ours && loadedText(row, j) != *now);
            m_loaded[at(row, j)] = m_pool.store(*now);
        }
        if (others)
            othersChanged.push_back(row);
        m_picks.erase(row);
    }
    return othersChanged;
}

namespace {

// Reads the records with these IDs, a chunk at a time, and hands each to
// each with its ID. Returns the IDs found.
QSet<qint64>
readByIds(db::OdbcConnection &connection, const GridRecords &records,
          const std::vector<qint64> &ids,
          const std::function<void(qint64 id, const db::Row &, const ResultFields &)> &each)
{
    QSet<qint64> found;
    forEachChunk(ids, [&](std::span<const qint64> chunk) {
        const db::ResultSet result = connection.query(
            records.sales() ? sql::salesById(chunk, sql::Lock::None)
                            : sql::recordsById(records.table(), chunk, sql::Lock::None));
        const ResultFields fields(result.columns, records.columns(), false);
        for (const db::Row &record : result.rows) {
            const qint64 id = recordId(record[size_t(fields.id)]);
            found.insert(id);
            each(id, record, fields);
        }
    });
    return found;
}

void compareRow(const GridRecords &records, int row, const db::Row &record,
                const ResultFields &fields, std::vector<GridCell> &differing)
{
    for (int j = 1; j <= records.dataColumns(); ++j) {
        const int i = fields.index[size_t(j)];
        if (i >= 0
            && !sameValue(record[size_t(i)], fields.type[size_t(j)], records.textView(row, j)))
            differing.push_back({row, j});
    }
}

} // namespace

std::vector<GridCell> compareRows(db::OdbcConnection &connection, const db::Statement &statement,
                                  const GridRecords &records)
{
    std::vector<GridCell> differing;
    std::vector<bool> met(size_t(records.rowCount()) + 1, false);
    std::optional<ResultFields> fields;
    int next = 1;
    connection.queryEach(
        statement,
        [&](const std::vector<db::Column> &result) {
            fields.emplace(result, records.columns(), true);
        },
        [&](const db::Row &record) {
            const int row = records.rowOf(recordId(record[size_t(fields->id)]), next);
            if (row == 0)
                return; // a record this grid never loaded
            met[size_t(row)] = true;
            next = row + 1;
            compareRow(records, row, record, *fields, differing);
        });
    // Records the statement no longer finds are looked up by ID.
    std::vector<qint64> missing;
    for (int row = 1; row <= records.rowCount(); ++row) {
        if (!met[size_t(row)])
            missing.push_back(records.idOf(row));
    }
    const QSet<qint64> found = readByIds(
        connection, records, missing, [&](qint64 id, const db::Row &record, const ResultFields &f) {
            if (const int row = records.rowOf(id))
                compareRow(records, row, record, f, differing);
        });
    // A record that is gone leaves nothing of its row in the database.
    for (int row = 1; row <= records.rowCount(); ++row) {
        if (met[size_t(row)] || found.contains(records.idOf(row)))
            continue;
        for (int j = 1; j <= records.dataColumns(); ++j)
            differing.push_back({row, j});
    }
    return differing;
}

Outcome<SavedRows> saveGridChanges(db::OdbcConnection &connection, GridRecords &records,
                                   const ChangeSet &changes)
{
    const Outcome<Saved> saved = saveChanges(connection, changes);
    if (!saved)
        return saved.refusal();
    // Rows by the IDs of the changes, not by the whole grid's: a save costs
    // the same whatever the number of rows loaded.
    std::vector<qint64> ids;
    QHash<qint64, int> rowOfChange;
    for (const RecordChange &change : changes.records) {
        ids.push_back(change.id);
        rowOfChange.insert(change.id, change.gridRow);
    }
    GridRecords::StoredTexts stored;
    readByIds(connection, records, ids,
              [&](qint64 id, const db::Row &record, const ResultFields &f) {
                  const int row = rowOfChange.value(id);
                  std::vector<std::optional<QString>> &texts = stored[row];
                  texts.assign(size_t(records.dataColumns()) + 1, std::nullopt);
                  for (int j = 1; j <= records.dataColumns(); ++j) {
                      if (f.index[size_t(j)] >= 0)
                          texts[size_t(j)] =
                              cellText(record[size_t(f.index[size_t(j)])], f.type[size_t(j)]);
                  }
              });
    SavedRows rows;
    rows.goneRows = saved->goneRows;
    for (const auto &[row, texts] : stored)
        rows.savedRows.push_back(row);
    rows.othersChanged = records.takeSaved(changes, stored);
    return rows;
}

} // namespace kestrel::edit
