#pragma once
// Selling by bar code: a scanner types the code and Enter into the sale
// form, which finds the product through one bound statement on the BarCode
// index. A code no product carries is named; a code several products share
// opens the product chooser on just those products.

#include "core/database/Odbc.h"
#include "core/shared/ResultRequest.h"

#include <QStringList>
#include <vector>

namespace kestrel::sql {

// The first two products carrying code, by ID, with the product chooser's
// columns (SELECT *), so a scanned product reaches the sale form as a picked
// one does: one is the product scanned, two say the code is shared.
db::Statement productsWithBarCode(const QString &code);

// The product chooser on the products that share code.
ResultRequest pickProductWithBarCode(const QString &code);

// Those products as the product chooser hands a picked row over (cell 0
// empty, cell 1 the ID, then Description, UM, Quantity, Price, ...).
std::vector<QStringList> scannedProducts(db::OdbcConnection &connection, const QString &code);

// "No product has the bar code 5991!!!"
QString unknownBarCodeMessage(const QString &code);

} // namespace kestrel::sql
