#include "core/statements/Lists.h"

namespace kestrel::sql {

namespace {

ResultRequest list(const char *sql, const char *caption, std::vector<ResultColumn> columns)
{
    ResultRequest request;
    request.statement = db::Statement(QString::fromUtf8(sql));
    request.caption = QString::fromUtf8(caption);
    request.columns = std::move(columns);
    return request;
}

ResultRequest deleteView(const char *table, const char *sql, const char *caption,
                         std::vector<ResultColumn> columns)
{
    ResultRequest request = list(sql, caption, std::move(columns));
    request.deleteTable = QString::fromUtf8(table);
    return request;
}

} // namespace

std::vector<ResultColumn> customerColumns()
{
    return {{"ID", "0.0337"},     {"FirstName", "0.135"},
            {"SurName", "0.135"}, {"Address", "0.1012"},
            {"City", "0.0675"},   {"Telephone", "0.0675"},
            {"Email", "0.1012"},  {"PersonalIDNo", "0.0675"},
            {"Joined", "0.1012"}, {"ShippingAddress", "0.1012"}};
}

std::vector<ResultColumn> productColumns()
{
    return {{"ID", "0.0795"},          {"Description", "0.3089"}, {"UM", "0.1163"},
            {"Quantity", "0.0795"},    {"Price", "0.0795"},       {"BarCode", "0.1163"},
            {"LastDelivery", "0.1980"}};
}

std::vector<ResultColumn> salesColumns()
{
    return {{"ID", "0.0795"},    {"FirstName", "0.0965"}, {"SurName", "0.0965"},
            {"Date", "0.1163"},  {"Quantity", "0.0795"},  {"UM", "0.0795"},
            {"Price", "0.0795"}, {"PricewTax", "0.0795"}, {"Description", "0.2884"}};
}

namespace {

// STRAIGHT_JOIN keeps the tables in the order the FROM names them, the
// sales first.
QString salesJoinText(SalesRead read, const char *names)
{
    return (read == SalesRead::BySale ? QStringLiteral("SELECT STRAIGHT_JOIN turnover.ID,")
                                      : QStringLiteral("SELECT turnover.ID,"))
           + QLatin1String(names)
           + QStringLiteral(
               ",turnover.Date,turnover.Quantity,products.UM,turnover.Price,turnover.PricewTax,"
               "products.Description FROM turnover,customers,products where "
               "(products.ID = turnover.ProductID) and (customers.ID = turnover.CustomerID)");
}

} // namespace

QString salesJoin()
{
    return salesJoinText(SalesRead::BySale, "customers.FirstName,customers.SurName");
}

QString salesJoinSurnameFirst(SalesRead read)
{
    return salesJoinText(read, "customers.SurName,customers.FirstName");
}

ResultRequest deleteCities()
{
    return deleteView("cities", "SELECT * FROM cities ;", "Delete City",
                      {{"ID", "0.0426"},
                       {"Acronym", "0.0426"},
                       {"FullName", "0.3408"},
                       {"PostalCode", "0.1278"},
                       {"Country", "0.3408"},
                       {"CountryCode", "0.0852"}});
}

ResultRequest deleteCustomers()
{
    return deleteView("customers", "SELECT * FROM customers ;", "Delete Customer",
                      {{"ID", "0.035"},
                       {"FirstName", "0.14"},
                       {"SurName", "0.14"},
                       {"Address", "0.14"},
                       {"City", "0.035"},
                       {"Telephone", "0.07"},
                       {"Email", "0.105"},
                       {"PersonalIDNo", "0.07"},
                       {"Joined", "0.105"},
                       {"ShippingAddress", "0.14"}});
}

ResultRequest deleteProducts()
{
    return deleteView("products", "SELECT * FROM products ;", "Delete Product", productColumns());
}

ResultRequest deleteTransactions()
{
    // The statement names the surname first; the grid shows the first name
    // first, as every sales list does.
    ResultRequest request = deleteView("turnover", "", "Delete Transaction",
                                       {{"ID", "0.0794"},
                                        {"FirstName", "0.0964"},
                                        {"SurName", "0.0964"},
                                        {"Date", "0.1164"},
                                        {"Quantity", "0.0794"},
                                        {"UM", "0.0794"},
                                        {"Price", "0.0794"},
                                        {"PricewTax", "0.0794"},
                                        {"Description", "0.245"}});
    request.statement = db::Statement(salesJoinSurnameFirst(SalesRead::BySale)
                                      + QStringLiteral(" order by turnover.ID;"));
    return request;
}

ResultRequest todaysTurnover()
{
    ResultRequest request;
    request.statement = db::Statement(
        salesJoin() + QStringLiteral(" and (Date = curdate()) order by turnover.ID;"));
    request.caption = QStringLiteral("Today's Turnover");
    request.columns = salesColumns();
    return request;
}

ResultRequest topFiveProducts()
{
    std::vector<ResultColumn> columns = productColumns();
    columns[1].widthFraction = QStringLiteral("0.22");
    columns.push_back({QStringLiteral("Sold"), QStringLiteral("0.0795")});
    // Grouped by the product number alone, the products joined afterwards:
    // every server mode runs it, ONLY_FULL_GROUP_BY included, as for the top
    // ten customers.
    return list("select products.*,sales.Sold from products,(select turnover.productid,"
                "sum(turnover.quantity) as Sold from turnover group by turnover.productid) "
                "as sales where sales.productid = products.id order by Sold desc limit 5;",
                "TOP 5 Bestseller Product", std::move(columns));
}

ResultRequest pickCustomer()
{
    return list("SELECT * FROM customers", "Pick Customer", customerColumns());
}

ResultRequest pickProduct()
{
    return list("SELECT * FROM products", "Pick Product", productColumns());
}

} // namespace kestrel::sql
