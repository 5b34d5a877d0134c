#include "core/editing/SaveChanges.h"

#include "core/database/RefusedValue.h"
#include "core/database/RetriedTransaction.h"
#include "core/editing/EditCells.h"
#include "core/shared/Formats.h"
#include "core/statements/Claims.h"
#include "core/statements/Sale.h"

#include <QHash>
#include <QSet>
#include <map>

namespace kestrel::edit {

void forEachChunk(const std::vector<qint64> &ids,
                  const std::function<void(std::span<const qint64>)> &each)
{
    for (size_t from = 0; from < ids.size(); from += sql::MaxIdsPerStatement) {
        const size_t count = std::min(sql::MaxIdsPerStatement, ids.size() - from);
        each(std::span<const qint64>(ids).subspan(from, count));
    }
}

QString cellName(const ChangeSet &changes, int row, int col)
{
    const QString header =
        col >= 0 && size_t(col) < changes.headers.size() ? changes.headers[size_t(col)] : QString();
    return QStringLiteral("Row %1, %2").arg(row).arg(header);
}

namespace {

const QString NothingSaved = QStringLiteral("Nothing was saved!!!");

Refusal pickGone(const char *what, qint64 id)
{
    return {QStringLiteral("The picked %1 (ID %2) no longer exists! %3")
                .arg(QLatin1String(what))
                .arg(id)
                .arg(NothingSaved),
            {}};
}

qint64 integerOf(const db::Value &value)
{
    return value ? value->toLongLong() : 0;
}

qint64 unitsOf(const db::Value &value)
{
    return value ? fmt::parseQuantity(*value).value_or(0) : 0;
}

// The changed records as the database holds them now, locked until the
// transaction ends.
class StoredRecords {
public:
    void read(db::OdbcConnection &c, const ChangeSet &changes)
    {
        std::vector<qint64> ids;
        for (const RecordChange &r : changes.records)
            ids.push_back(r.id);
        forEachChunk(ids, [&](std::span<const qint64> chunk) {
            const db::ResultSet result = c.query(
                changes.sales ? sql::salesById(chunk, sql::Lock::ForUpdate)
                              : sql::recordsById(changes.table, chunk, sql::Lock::ForUpdate));
            m_columns = result.columns;
            const int id = result.indexOf(QStringLiteral("ID"));
            if (id < 0)
                throw db::OdbcError(QStringLiteral("42S22"),
                                    QStringLiteral("records without an ID"));
            for (const db::Row &row : result.rows)
                m_rows.insert(integerOf(row[size_t(id)]), row);
        });
    }

    const db::Row *find(qint64 id) const
    {
        const auto it = m_rows.constFind(id);
        return it == m_rows.constEnd() ? nullptr : &*it;
    }

    int indexOf(const QString &field) const { return db::columnIndex(m_columns, field); }
    int typeAt(int index) const { return m_columns[size_t(index)].sqlType; }

    // The field of a record, or NULL when the re-read has no such field.
    db::Value field(const db::Row &row, const QString &name) const
    {
        const int i = indexOf(name);
        return i < 0 ? std::nullopt : row[size_t(i)];
    }

private:
    std::vector<db::Column> m_columns;
    QHash<qint64, db::Row> m_rows;
};

const sql::FieldValue *written(const RecordChange &r, const QString &field)
{
    for (const sql::FieldValue &w : r.writes) {
        if (w.field == field)
            return &w;
    }
    return nullptr;
}

// What each product gains (positive) or gives (negative) when the sales
// change: the old product gets the old quantity back, the new product gives
// the new quantity.
std::map<qint64, qint64> stockMoves(const std::vector<const RecordChange *> &live,
                                    const StoredRecords &stored)
{
    std::map<qint64, qint64> moves;
    for (const RecordChange *r : live) {
        const db::Row &row = *stored.find(r->id);
        const qint64 oldProduct = integerOf(stored.field(row, QStringLiteral("ProductID")));
        const qint64 oldQuantity = unitsOf(stored.field(row, QStringLiteral("Quantity")));
        const sql::FieldValue *product = written(*r, QStringLiteral("ProductID"));
        const sql::FieldValue *quantity = written(*r, QStringLiteral("Quantity"));
        const qint64 newProduct = product ? product->value.integerValue() : oldProduct;
        const qint64 newQuantity = quantity ? quantity->value.integerValue() : oldQuantity;
        if (newProduct == oldProduct && newQuantity == oldQuantity)
            continue;
        moves[oldProduct] += oldQuantity;
        moves[newProduct] -= newQuantity;
    }
    std::erase_if(moves, [](const auto &move) { return move.second == 0; });
    return moves;
}

std::vector<qint64> keysOf(const std::map<qint64, qint64> &moves)
{
    std::vector<qint64> ids;
    for (const auto &[id, delta] : moves)
        ids.push_back(id);
    return ids;
}

// Checks that every product giving stock exists and has enough; locks them.
std::optional<Refusal> stockRefusal(db::OdbcConnection &c, const std::map<qint64, qint64> &moves)
{
    struct Stock {
        QString description;
        qint64 quantity = 0;
    };
    QHash<qint64, Stock> stocks;
    forEachChunk(keysOf(moves), [&](std::span<const qint64> chunk) {
        for (const db::Row &row : c.query(sql::productStocks(chunk)).rows)
            stocks.insert(integerOf(row[0]), {row[1].value_or(QString()), unitsOf(row[2])});
    });
    for (const auto &[id, delta] : moves) {
        if (delta >= 0)
            continue; // a product that only gets stock back, if it is still there
        const auto stock = stocks.constFind(id);
        if (stock == stocks.constEnd())
            return pickGone("product", id);
        if (stock->quantity + delta < 0)
            return Refusal{QStringLiteral("Not enough supplies in store of %1! %2")
                               .arg(stock->description, NothingSaved),
                           {}};
    }
    return std::nullopt;
}

// Checks that every customer picked for a sale still exists; keeps them.
std::optional<Refusal> pickedCustomerRefusal(db::OdbcConnection &c,
                                             const std::vector<const RecordChange *> &live)
{
    std::vector<qint64> picked;
    for (const RecordChange *r : live) {
        if (const sql::FieldValue *customer = written(*r, QStringLiteral("CustomerID")))
            picked.push_back(customer->value.integerValue());
    }
    QSet<qint64> existing;
    forEachChunk(picked, [&](std::span<const qint64> chunk) {
        for (const db::Row &row : c.query(sql::existingCustomers(chunk)).rows)
            existing.insert(integerOf(row[0]));
    });
    for (const qint64 id : picked) {
        if (!existing.contains(id))
            return pickGone("customer", id);
    }
    // As a sale does: a cluster then refuses this save or a delete of the
    // customer on another node, whichever comes second.
    for (const qint64 id : QSet<qint64>(picked.begin(), picked.end()))
        sql::claimCustomer(c, db::SqlValue::integer(id));
    return std::nullopt;
}

// A sale changed to a quantity below one would sell nothing: refused as the
// sale form refuses such a line, naming the product the sale would have.
std::optional<Refusal> noQuantityRefusal(db::OdbcConnection &c,
                                         const std::vector<const RecordChange *> &live,
                                         const StoredRecords &stored)
{
    for (const RecordChange *r : live) {
        const sql::FieldValue *quantity = written(*r, QStringLiteral("Quantity"));
        if (!quantity || quantity->value.integerValue() >= 1)
            continue;
        const db::Row &row = *stored.find(r->id);
        qint64 product = integerOf(stored.field(row, QStringLiteral("ProductID")));
        QString description = stored.field(row, QStringLiteral("Description")).value_or(QString());
        if (const sql::FieldValue *picked = written(*r, QStringLiteral("ProductID"))) {
            product = picked->value.integerValue();
            const db::ResultSet found = c.query(sql::productStocks(std::vector<qint64>{product}));
            description = found.isEmpty() ? QString() : found.rows.front()[1].value_or(QString());
        }
        Refusal refusal{sql::noQuantityMessage(description, product), {}};
        for (const ChangedCell &cell : r->cells) {
            if (cell.field == QLatin1String("Quantity"))
                refusal.cells.push_back({r->gridRow, cell.gridCol});
        }
        return refusal;
    }
    return std::nullopt;
}

// The server refused a value of a record: the cell it named, else the one
// cell the record's change sent, else all of them.
Refusal valueRefusal(const ChangeSet &changes, const RecordChange &r, const QString &column)
{
    const ChangedCell *named = nullptr;
    for (const ChangedCell &cell : r.cells) {
        if (!column.isEmpty() && cell.field.compare(column, Qt::CaseInsensitive) == 0)
            named = &cell;
    }
    if (!named && r.cells.size() == 1)
        named = &r.cells.front();
    if (named)
        return {db::refusedValueMessage(cellName(changes, r.gridRow, named->gridCol),
                                        quoted(named->text)),
                {{r.gridRow, named->gridCol}}};
    Refusal refusal{
        db::refusedRecordMessage(QStringLiteral("the changes of row %1").arg(r.gridRow)), {}};
    for (const ChangedCell &cell : r.cells)
        refusal.cells.push_back({r.gridRow, cell.gridCol});
    return refusal;
}

// Writes every record, up to the first value the server refuses.
std::optional<Refusal> writeRecords(db::OdbcConnection &c, const ChangeSet &changes,
                                    const std::vector<const RecordChange *> &live)
{
    for (const RecordChange *r : live) {
        const std::optional<db::Refusal> refused =
            db::refusalOf([&] { c.execute(sql::updateRecord(changes.table, r->writes, r->id)); });
        if (refused)
            return valueRefusal(changes, *r, refused->column);
    }
    return std::nullopt;
}

// One try of the save, in the running transaction; a refusal rolls back.
Outcome<Saved> trySave(db::OdbcConnection &connection, const ChangeSet &changes,
                       db::Transaction &transaction)
{
    Saved saved;
    std::vector<GridCell> conflicts;
    StoredRecords stored;
    stored.read(connection, changes);

    std::vector<const RecordChange *> live;
    for (const RecordChange &r : changes.records) {
        const db::Row *row = stored.find(r.id);
        if (!row) {
            saved.goneRows.push_back(r.gridRow);
            continue;
        }
        for (const ChangedCell &cell : r.cells) {
            const int i = stored.indexOf(cell.field);
            if (i >= 0 && !sameValue((*row)[size_t(i)], stored.typeAt(i), cell.loadedText))
                conflicts.push_back({r.gridRow, cell.gridCol});
        }
        live.push_back(&r);
    }
    if (!conflicts.empty())
        return Refusal{QStringLiteral("Records were changed by another user after they were "
                                      "loaded, so nothing was saved! Search again to load them "
                                      "anew!!!"),
                       conflicts};

    std::map<qint64, qint64> moves;
    if (changes.sales) {
        moves = stockMoves(live, stored);
        std::optional<Refusal> refusal = noQuantityRefusal(connection, live, stored);
        if (!refusal)
            refusal = pickedCustomerRefusal(connection, live);
        if (!refusal)
            refusal = stockRefusal(connection, moves);
        if (refusal)
            return *refusal;
    }
    if (std::optional<Refusal> refusal = writeRecords(connection, changes, live))
        return *refusal;
    for (const auto &[product, delta] : moves)
        connection.execute(sql::moveStock(product, delta));
    transaction.commit();
    return saved;
}

} // namespace

Outcome<Saved> saveChanges(db::OdbcConnection &connection, const ChangeSet &changes)
{
    if (changes.records.empty())
        return Saved{};
    Outcome<Saved> outcome = Saved{};
    const bool done = db::runTransaction(connection, [&](db::Transaction &transaction) {
        outcome = trySave(connection, changes, transaction);
    });
    if (!done)
        return Refusal{db::OtherTillsText, {}};
    return outcome;
}

} // namespace kestrel::edit
