#include "core/statements/BarCode.h"

#include "core/shared/FieldText.h"
#include "core/statements/Lists.h"

namespace kestrel::sql {

namespace {

const QString ByBarCode = QStringLiteral("SELECT * FROM products WHERE BarCode = ? ORDER BY ID");

} // namespace

db::Statement productsWithBarCode(const QString &code)
{
    return db::Statement(ByBarCode + QStringLiteral(" LIMIT 2"), {db::SqlValue::text(code)});
}

ResultRequest pickProductWithBarCode(const QString &code)
{
    ResultRequest request = pickProduct();
    request.statement = db::Statement(ByBarCode, {db::SqlValue::text(code)});
    return request;
}

std::vector<QStringList> scannedProducts(db::OdbcConnection &connection, const QString &code)
{
    const db::ResultSet found = connection.query(productsWithBarCode(code));
    std::vector<QStringList> rows;
    for (const db::Row &row : found.rows) {
        QStringList cells{QString()};
        for (size_t c = 0; c < row.size(); ++c)
            cells.append(fieldText(row[c], found.columns[c].sqlType));
        rows.push_back(cells);
    }
    return rows;
}

QString unknownBarCodeMessage(const QString &code)
{
    return QStringLiteral("No product has the bar code ") + code + QStringLiteral("!!!");
}

} // namespace kestrel::sql
