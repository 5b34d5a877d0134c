// The main window's commands that open the result window on a fixed
// statement: the four delete views and the two fixed reports.

#include "MDIfrm_main.h"
#include "ui_MDIfrm_main.h"

#include "Frm_QueryResults.h"
#include "mdl_Variables_Functions.h"

namespace M = mdl_Variables_Functions;

namespace {

struct ListColumn {
    const char *fieldAndHeader;
    const char *widthFraction;
};

// Writes one list request: statement, caption and the data columns, column 0
// being the row-header column with its width only.
void writeRequest(const char *sql, const char *caption, const char *rowHeaderWidth,
                  std::initializer_list<ListColumn> columns)
{
    M::QrySQL = QString::fromUtf8(sql);
    M::QryCaption = QString::fromUtf8(caption);
    M::QryColCount = int(columns.size());
    M::QryCellNameFormat[0][M::SlotWidth] = QString::fromUtf8(rowHeaderWidth);
    int j = 1;
    for (const ListColumn &c : columns)
        M::SetColumn(M::QryCellNameFormat, j++, QString::fromUtf8(c.fieldAndHeader),
                     QString::fromUtf8(c.widthFraction));
}

void openReport(const char *sql, const char *caption, std::initializer_list<ListColumn> columns)
{
    Frm_QueryResults::Open([&] { writeRequest(sql, caption, "0.02", columns); });
}

void openDeleteView(const char *table, const char *sql, const char *caption,
                    std::initializer_list<ListColumn> columns)
{
    Frm_QueryResults::Open([&] {
        writeRequest(sql, caption, "0.02", columns);
        M::DeleteMode = true;
        M::DeleteTable = QString::fromUtf8(table);
    });
}

} // namespace

void MDIfrm_main::connectReportCommands()
{
    connectCommand(ui->mnu_DCity, &MDIfrm_main::mnu_DCity_Click);
    connectCommand(ui->mnu_DCustomer, &MDIfrm_main::mnu_DCustomer_Click);
    connectCommand(ui->mnu_DProduct, &MDIfrm_main::mnu_DProduct_Click);
    connectCommand(ui->mnu_DTransaction, &MDIfrm_main::mnu_DTransaction_Click);
    connectCommand(ui->mnu_Today, &MDIfrm_main::mnu_Today_Click);
    connectCommand(ui->mnu_Top5Prod, &MDIfrm_main::mnu_Top5Prod_Click);
}

void MDIfrm_main::mnu_DCity_Click()
{
    openDeleteView("cities", "SELECT * FROM cities ;", "Delete City",
                   {{"ID", "0.0426"},
                    {"Acronym", "0.0426"},
                    {"FullName", "0.3408"},
                    {"PostalCode", "0.1278"},
                    {"Country", "0.3408"},
                    {"CountryCode", "0.0852"}});
}

void MDIfrm_main::mnu_DCustomer_Click()
{
    openDeleteView("customers", "SELECT * FROM customers ;", "Delete Customer",
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

void MDIfrm_main::mnu_DProduct_Click()
{
    openDeleteView("products", "SELECT * FROM products ;", "Delete Product",
                   {{"ID", "0.0795"},
                    {"Description", "0.3089"},
                    {"UM", "0.1163"},
                    {"Quantity", "0.0795"},
                    {"Price", "0.0795"},
                    {"BarCode", "0.1163"},
                    {"LastDelivery", "0.1980"}});
}

void MDIfrm_main::mnu_DTransaction_Click()
{
    // The statement names the surname first; the grid shows the first name
    // first, as every sales list does.
    openDeleteView("turnover",
                   "SELECT turnover.ID,customers.SurName,customers.FirstName,turnover.Date,"
                   "turnover.Quantity,products.UM,turnover.Price,turnover.PricewTax,"
                   "products.Description FROM turnover,customers,products WHERE "
                   "(products.ID = turnover.ProductID) and (customers.ID = turnover.CustomerID) "
                   "order by turnover.ID;",
                   "Delete Transaction",
                   {{"ID", "0.0794"},
                    {"FirstName", "0.0964"},
                    {"SurName", "0.0964"},
                    {"Date", "0.1164"},
                    {"Quantity", "0.0794"},
                    {"UM", "0.0794"},
                    {"Price", "0.0794"},
                    {"PricewTax", "0.0794"},
                    {"Description", "0.245"}});
}

void MDIfrm_main::mnu_Today_Click()
{
    openReport("SELECT turnover.ID,customers.FirstName,customers.SurName,turnover.Date,"
               "turnover.Quantity,products.UM,turnover.Price,turnover.PricewTax,"
               "products.Description FROM turnover,customers,products where "
               "(products.ID = turnover.ProductID) and (customers.ID = turnover.CustomerID) "
               "and (Date = curdate()) order by turnover.ID;",
               "Today's Turnover",
               {{"ID", "0.0795"},
                {"FirstName", "0.0965"},
                {"SurName", "0.0965"},
                {"Date", "0.1163"},
                {"Quantity", "0.0795"},
                {"UM", "0.0795"},
                {"Price", "0.0795"},
                {"PricewTax", "0.0795"},
                {"Description", "0.2884"}});
}

void MDIfrm_main::mnu_Top5Prod_Click()
{
    openReport("select products.*,sum(turnover.quantity) as Sold from turnover,products "
               "where turnover.productid = products.id group by turnover.productid "
               "order by Sold desc limit 5;",
               "TOP 5 Bestseller Product",
               {{"ID", "0.0795"},
                {"Description", "0.22"},
                {"UM", "0.1163"},
                {"Quantity", "0.0795"},
                {"Price", "0.0795"},
                {"BarCode", "0.1163"},
                {"LastDelivery", "0.1980"},
                {"Sold", "0.0795"}});
}
