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

// How the server reads a join of the sales with their customers and
// products.
enum class SalesRead {
    // As its planner sees fit: a search for a customer's or a product's name
    // starts best from that table.
    AsPlanned,
    // Sale by sale, in the order of their IDs, each joined to its customer
    // and product by their keys: a list ordered by sale sends its first row
    // at once. Left to its planner, the server starts from the customers or
    // the products and sorts every sale before it sends the first.
    BySale,
};

// The sales joined with their customers and products, as the sales lists
// read them (sale by sale): the text up to and including the join
// condition. Sales whose customer or product is gone drop out. The first
// name comes before the surname.
QString salesJoin();
// The same join naming the surname first, as the delete view and the edit
// grid read it.
QString salesJoinSurnameFirst(SalesRead read);

} // namespace kestrel::sql
