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

} // namespace kestrel::sql
