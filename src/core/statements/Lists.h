#pragma once
// The lists Kestrel opens on fixed statements: the four delete views, today's
// turnover, the five best-selling products, and the customer and product
// lists the sale form picks from. Each is a whole request for the read-only
// result window: statement, caption and columns.

#include "core/shared/ResultRequest.h"

namespace kestrel::sql {

ResultRequest deleteCities();
ResultRequest deleteCustomers();
ResultRequest deleteProducts();
ResultRequest deleteTransactions();

ResultRequest todaysTurnover();
ResultRequest topFiveProducts();

// Every customer, every product, as the sale form's choosers list them; the
// opener adds the pick flag and what the pick does.
ResultRequest pickCustomer();
ResultRequest pickProduct();

// The columns the lists of customers, products and sales show, with their
// widths; the report forms show the same.
std::vector<ResultColumn> customerColumns();
std::vector<ResultColumn> productColumns();
std::vector<ResultColumn> salesColumns();

// The sales joined with their customers and products, as the sales lists
// read them: the text up to and including the join condition. Sales whose
// customer or product is gone drop out.
QString salesJoin();

} // namespace kestrel::sql
