#include "editing/EditGridRows.h"

#include "core/database/StreamingCycle.h"
#include "core/editing/EditCells.h"
#include "core/shared/EditRequest.h"
#include "core/shared/Money.h"
#include "core/statements/Edit.h"
#include "core/statements/Sale.h"
#include "widgets/FlexGrid.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace M = mdl_Variables_Functions;

namespace kestrel {

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

} // namespace

// Where each grid column's field is in a result.
struct EditGridRows::ResultFields {
    std::vector<int> index; // by grid column; -1: the result lacks the field
    std::vector<int> type;
    int id = -1;

    // A result that must show every column (the grid's own statement)
    // throws when it lacks one; a re-read just leaves it out of the compare.
    ResultFields(const std::vector<db::Column> &result, const std::vector<EditGridColumn> &columns,
                 bool required)
        : index(columns.size(), -1), type(columns.size(), 0)
    {
        for (size_t j = 1; j < columns.size(); ++j) {
            index[j] = db::columnIndex(result, columns[j].field);
            if (index[j] < 0 && required)
                throw std::runtime_error("the result has no field "
                                         + columns[j].field.toStdString());
            if (index[j] >= 0)
                type[j] = result[size_t(index[j])].sqlType;
        }
        id = db::columnIndex(result, QStringLiteral("ID"));
        if (id < 0)
            throw std::runtime_error("the result has no ID to pair its rows with records");
    }
};

EditGridRows::EditGridRows(FlexGrid &grid) : m_grid(grid) {}

int EditGridRows::columnOf(const QString &field) const
{
    for (size_t j = 1; j < m_columns.size(); ++j) {
        if (sameName(m_columns[j].field, field))
            return int(j);
    }
    return 0;
}

void EditGridRows::setUpColumns(const M::ColumnTable &columns, int dataColumns)
{
    m_columns.assign(size_t(dataColumns) + 1, {});
    for (int j = 1; j <= dataColumns; ++j) {
        EditGridColumn &c = m_columns[size_t(j)];
        c.editor = columns[size_t(j)][M::SlotEditor];
        c.field = columns[size_t(j)][M::SlotField];
        c.header = columns[size_t(j)][M::SlotHeader];
    }
}

void EditGridRows::findColumns(const std::vector<db::Column> &result, bool joined)
{
    const ResultFields fields(result, m_columns, true);
    // The records' own table is the one their IDs come from: turnover for
    // sales, whatever the find form searched otherwise.
    m_table = result[size_t(fields.id)].baseTable;
    for (size_t j = 1; j < m_columns.size(); ++j) {
        EditGridColumn &c = m_columns[j];
        const db::Column &shown = result[size_t(fields.index[j])];
        c.rule = edit::fieldRule(c.field, shown);
        const bool pick = joined && c.editor == editor::Pick;
        if (pick
            && (sameName(c.field, QStringLiteral("FirstName"))
                || sameName(c.field, QStringLiteral("SurName"))))
            c.role = ColumnRole::PickCustomer;
        else if (pick && sameName(c.field, QStringLiteral("Description")))
            c.role = ColumnRole::PickProduct;
        else if (!isId(c.field) && !m_table.isEmpty() && shown.baseTable == m_table)
            c.role = ColumnRole::Field;
        else
            c.role = ColumnRole::ReadOnly;
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

QColor EditGridRows::stripeColor(int row) const
{
    return row % 2 == 1 ? StripeColor : QColor();
}

bool EditGridRows::load(const db::Statement &statement, const M::ColumnTable &columns,
                        int dataColumns, bool joined)
{
    m_joined = joined;
    m_ids.clear();
    m_written.clear();
    m_marked.clear();
    m_rowOfId.clear();
    setUpColumns(columns, dataColumns);
    m_grid.setMergeRow(1, false);
    m_grid.setRows(1);
    m_grid.setCols(EditGridDataColumns + 1);
    for (int j = 1; j <= EditGridDataColumns; ++j) {
        m_grid.setColHidden(j, j > dataColumns);
        m_grid.setTextMatrix(0, j, j <= dataColumns ? m_columns[size_t(j)].header : QString());
    }

    // Rows go from the server's bytes into the grid without a string of
    // their own, while the server is still sending the next.
    std::optional<ResultFields> fields;
    std::vector<QByteArray> scratch(m_columns.size());
    std::vector<QAnyStringView> views(m_columns.size());
    db::StreamingCycle cycle;
    m_grid.beginBulkAppend();
    bool loaded = cycle.start(statement, [&](const std::vector<db::Column> &result) {
        findColumns(result, joined);
        fields.emplace(result, m_columns, true);
    });
    if (loaded) {
        const db::StreamingCycle::Turn turn =
            cycle.read(QDeadlineTimer(QDeadlineTimer::Forever), [&](db::RowBytes row) {
                const qint64 id = recordId(row[size_t(fields->id)]);
                for (size_t j = 1; j < m_columns.size(); ++j) {
                    const db::FieldBytes &field = row[size_t(fields->index[j])];
                    const QByteArrayView text =
                        edit::cellText(field.text, field.null, fields->type[j], scratch[j]);
                    views[j] = QUtf8StringView(text.data(), text.size());
                }
                m_ids.push_back(id);
                m_grid.appendRow(views, stripeColor(int(m_ids.size())));
            });
        loaded = turn == db::StreamingCycle::Turn::Finished;
    }
    m_grid.endBulkAppend();
    if (!loaded)
        return false;
    if (m_ids.empty())
        showNoRows();
    m_grid.markLoaded();
    return true;
}

void EditGridRows::showNoRows()
{
    static const QString noItems = QStringLiteral("No Items Found in DataBase");
    m_grid.setRows(2);
    for (int j = 1; j <= dataColumns(); ++j) {
        m_grid.setTextMatrix(1, j, noItems);
        m_grid.setCellBackColor(1, j, StripeColor);
    }
    m_grid.setMergeRow(1, true);
}

void EditGridRows::writeCell(int row, int col, const QString &text)
{
    m_grid.setTextMatrix(row, col, text);
    m_written.insert({row, col});
}

void EditGridRows::mark(int row, int col, const QColor &color)
{
    m_grid.setCellBackColor(row, col, color);
    m_marked.insert({row, col});
}

void EditGridRows::pick(int row, ColumnRole role, qint64 id, const QString &first,
                        const QString &second)
{
    if (row < 1 || row > int(m_ids.size()))
        return;
    const bool customer = role == ColumnRole::PickCustomer;
    M::PickedRowIDs &picked = M::PickedIDs[row];
    (customer ? picked.customerID : picked.productID) = id;
    const QString fields[] = {customer ? QStringLiteral("FirstName")
                                       : QStringLiteral("Description"),
                              customer ? QStringLiteral("SurName") : QStringLiteral("UM")};
    const QString names[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        if (const int col = columnOf(fields[i]))
            writeCell(row, col, names[i]);
    }
}

int EditGridRows::rowOf(qint64 id, int hint) const
{
    // The statement usually returns the records in the order it did before.
    if (hint >= 1 && hint <= int(m_ids.size()) && m_ids[size_t(hint - 1)] == id)
        return hint;
    if (m_rowOfId.isEmpty()) {
        m_rowOfId.reserve(qsizetype(m_ids.size()));
        for (size_t i = m_ids.size(); i-- > 0;)
            m_rowOfId.insert(m_ids[i], int(i) + 1); // the first row wins
    }
    return m_rowOfId.value(id, 0);
}

void EditGridRows::compareRow(int row, const db::Row &record, const ResultFields &fields)
{
    for (int j = 1; j <= dataColumns(); ++j) {
        const int i = fields.index[size_t(j)];
        if (i >= 0
            && !edit::sameValue(record[size_t(i)], fields.type[size_t(j)], m_grid.textView(row, j)))
            mark(row, j, ChangedColor);
    }
}

void EditGridRows::compare(db::OdbcConnection &connection, const db::Statement &statement)
{
    if (noRows())
        return;
    std::vector<bool> met(m_ids.size() + 1, false);
    std::optional<ResultFields> fields;
    int next = 1;
    connection.queryEach(
        statement,
        [&](const std::vector<db::Column> &result) { fields.emplace(result, m_columns, true); },
        [&](const db::Row &record) {
            const int row = rowOf(recordId(record[size_t(fields->id)]), next);
            if (row == 0)
                return; // a record this grid never loaded
            met[size_t(row)] = true;
            next = row + 1;
            compareRow(row, record, *fields);
        });
    // Records the statement no longer finds are looked up by ID.
    std::vector<qint64> missing;
    for (int row = 1; row <= int(m_ids.size()); ++row) {
        if (!met[size_t(row)])
            missing.push_back(m_ids[size_t(row - 1)]);
    }
    compareMissing(connection, missing);
}

QSet<qint64> EditGridRows::readByIds(
    db::OdbcConnection &connection, const std::vector<qint64> &ids,
    const std::function<void(int row, const db::Row &, const ResultFields &)> &each) const
{
    QSet<qint64> found;
    edit::forEachChunk(ids, [&](std::span<const qint64> chunk) {
        const db::ResultSet result =
            connection.query(m_joined ? sql::salesById(chunk, sql::Lock::None)
                                      : sql::recordsById(m_table, chunk, sql::Lock::None));
        const ResultFields fields(result.columns, m_columns, false);
        for (const db::Row &record : result.rows) {
            const qint64 id = recordId(record[size_t(fields.id)]);
            found.insert(id);
            each(rowOf(id, 0), record, fields);
        }
    });
    return found;
}

void EditGridRows::compareMissing(db::OdbcConnection &connection, const std::vector<qint64> &ids)
{
    const QSet<qint64> found =
        readByIds(connection, ids, [&](int row, const db::Row &record, const ResultFields &fields) {
            if (row > 0)
                compareRow(row, record, fields);
        });
    for (const qint64 id : ids) {
        if (found.contains(id))
            continue;
        // The record is gone: nothing of the row is in the database any more.
        for (int row = 1; row <= int(m_ids.size()); ++row) {
            if (m_ids[size_t(row - 1)] != id)
                continue;
            for (int j = 1; j <= dataColumns(); ++j)
                mark(row, j, ChangedColor);
        }
    }
}

edit::RecordChange &EditGridRows::changeOf(std::map<int, edit::RecordChange> &records,
                                           int row) const
{
    edit::RecordChange &change = records[row];
    change.gridRow = row;
    change.id = idOf(row);
    return change;
}

std::variant<edit::ChangeSet, EditGridRows::Unstorable> EditGridRows::changes() const
{
    std::map<int, edit::RecordChange> records;
    for (const auto &[row, col] : m_written) {
        const EditGridColumn &c = m_columns[size_t(col)];
        const QString text = m_grid.TextMatrix(row, col);
        const QString loaded = m_grid.LoadedText(row, col);
        if (c.role != ColumnRole::Field || text == loaded)
            continue;
        const std::variant<db::SqlValue, QString> value = edit::storableValue(c.rule, text);
        if (const auto *problem = std::get_if<QString>(&value))
            return Unstorable{row, col, *problem};
        edit::RecordChange &change = changeOf(records, row);
        change.loaded.push_back({col, c.field, loaded});
        change.writes.push_back({c.field, std::get<db::SqlValue>(value)});
    }
    // A picked customer or product is stored by its ID, never by its names;
    // the names it replaced must still be the record's.
    for (const auto &[row, picked] : M::PickedIDs) {
        if (!m_joined || row < 1 || row > int(m_ids.size()))
            continue;
        const std::pair<std::optional<qint64>, ColumnRole> picks[] = {
            {picked.customerID, ColumnRole::PickCustomer},
            {picked.productID, ColumnRole::PickProduct}};
        for (const auto &[id, role] : picks) {
            if (!id)
                continue;
            edit::RecordChange &change = changeOf(records, row);
            for (int j = 1; j <= dataColumns(); ++j) {
                if (m_columns[size_t(j)].role == role)
                    change.loaded.push_back(
                        {j, m_columns[size_t(j)].field, m_grid.LoadedText(row, j)});
            }
            const QString field = role == ColumnRole::PickCustomer ? QStringLiteral("CustomerID")
                                                                   : QStringLiteral("ProductID");
            change.writes.push_back({field, db::SqlValue::integer(*id)});
        }
    }
    edit::ChangeSet set;
    set.table = m_table;
    set.sales = m_joined;
    for (auto &[row, change] : records) {
        if (m_joined)
            taxFollowsPrice(change);
        set.records.push_back(std::move(change));
    }
    return set;
}

void EditGridRows::taxFollowsPrice(edit::RecordChange &change) const
{
    const auto writes = [&](const QString &field) {
        return std::any_of(change.writes.begin(), change.writes.end(),
                           [&](const sql::FieldValue &w) { return sameName(w.field, field); });
    };
    const QString priceField = QStringLiteral("Price"), taxField = QStringLiteral("PricewTax");
    if (!writes(priceField) || writes(taxField))
        return; // an operator who changed both keeps both
    const auto price =
        std::find_if(change.writes.begin(), change.writes.end(),
                     [&](const sql::FieldValue &w) { return sameName(w.field, priceField); });
    const std::optional<Money> net = Money::parse(price->value.string());
    const std::optional<Money> withTax = net ? sql::priceWithTax(*net) : std::nullopt;
    if (!withTax)
        return; // beyond the largest amount: the server keeps the one it has
    // Written over the value the grid loaded, so never over another user's.
    if (const int col = columnOf(taxField))
        change.loaded.push_back(
            {col, m_columns[size_t(col)].field, m_grid.LoadedText(change.gridRow, col)});
    change.writes.push_back({taxField, withTax->toSql()});
}

EditGridRows::StoredTexts EditGridRows::readSaved(db::OdbcConnection &connection,
                                                  const edit::ChangeSet &changes) const
{
    std::vector<qint64> ids;
    for (const edit::RecordChange &change : changes.records)
        ids.push_back(change.id);
    StoredTexts stored;
    readByIds(connection, ids, [&](int row, const db::Row &record, const ResultFields &fields) {
        std::vector<std::optional<QString>> &texts = stored[row];
        texts.assign(m_columns.size(), std::nullopt);
        for (size_t j = 1; j < m_columns.size(); ++j) {
            if (fields.index[j] >= 0)
                texts[j] = edit::cellText(record[size_t(fields.index[j])], fields.type[j]);
        }
    });
    stored.erase(0); // records the grid does not show
    return stored;
}

void EditGridRows::restoreStripes()
{
    for (const auto &[row, col] : m_marked)
        m_grid.setCellBackColor(row, col, stripeColor(row));
    m_marked.clear();
}

std::vector<int> EditGridRows::saved(const edit::ChangeSet &changes,
                                     const edit::SaveOutcome &outcome, const StoredTexts &stored)
{
    using Result = edit::SaveOutcome::Result;
    if (outcome.result == Result::Conflict) {
        for (const edit::GridCell &cell : outcome.conflicts)
            mark(cell.row, cell.col, ChangedColor);
        return {};
    }
    if (outcome.result != Result::Saved)
        return {};
    const std::set<int> gone(outcome.goneRows.begin(), outcome.goneRows.end());
    std::vector<int> othersChanged;
    for (const edit::RecordChange &change : changes.records) {
        const int row = change.gridRow;
        if (gone.contains(row))
            continue;
        // What the server stored is what the row now shows, and the next
        // save compares with it. A cell this save did not write that comes
        // back different holds another user's change, merged with ours.
        const auto texts = stored.find(row);
        bool others = false;
        for (int j = 1; j <= dataColumns(); ++j) {
            if (texts != stored.end() && texts->second[size_t(j)]) {
                const QString &now = *texts->second[size_t(j)];
                const bool ours =
                    m_written.contains({row, j})
                    || std::any_of(change.writes.begin(), change.writes.end(),
                                   [&](const sql::FieldValue &w) {
                                       return sameName(w.field, m_columns[size_t(j)].field);
                                   });
                others = others || (!ours && now != m_grid.LoadedText(row, j));
                m_grid.setTextMatrix(row, j, now);
            }
            m_grid.markLoaded(row, j);
            m_written.erase({row, j});
        }
        if (others)
            othersChanged.push_back(row);
        M::PickedIDs.erase(row);
    }
    restoreStripes();
    for (const int row : gone) {
        for (int j = 1; j <= dataColumns(); ++j)
            mark(row, j, ChangedColor);
    }
    return othersChanged;
}

} // namespace kestrel
