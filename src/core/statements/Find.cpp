#include "core/statements/Find.h"

#include "core/shared/Formats.h"
#include "core/statements/Edit.h"
#include "core/statements/Lists.h"
#include "core/statements/Records.h"

#include <span>

namespace kestrel::sql {

namespace {

// What a criterion's input is, and so how it reads and when it is empty.
enum class Input {
    Text,   // a text box, compared as typed
    Amount, // a text box with a decimal comma, compared as the number it is
    List,   // a fixed list's value
    Day,    // a calendar: never empty
    Pick,   // a record picked from a list, or a name typed over it
};

struct Criterion {
    const char *name;   // as the form names it
    const char *column; // compared with the input
    Input input;
    const char *label; // how messages name it
    // Pick: the column holding the picked record's ID.
    const char *pickedColumn = nullptr;
};

// How a table's search reads: the statement begins with base; each ticked
// criterion adds lead, its column and " = ?", with joiner between two of
// them; tail ends it.
struct Search {
    QString base;
    QString lead;
    QString joiner;
    QString tail;
    QString everyRecord; // Show All
    std::span<const Criterion> criteria;
    EditRequest (*grid)(db::Statement);
};

constexpr Criterion CityCriteria[] = {
    {"ID", "ID", Input::Text, "ID"},
    {"Acronym", "Acronym", Input::Text, "Acronym"},
    {"FullName", "FullName", Input::Text, "Full Name"},
    {"PostalCode", "PostalCode", Input::Text, "Postal Code"},
    {"CountryCode", "CountryCode", Input::Text, "Country Code"},
    {"Country", "Country", Input::List, "Country"},
};

constexpr Criterion CustomerCriteria[] = {
    {"ID", "ID", Input::Text, "ID"},
    {"FirstName", "FirstName", Input::Text, "First Name"},
    {"SurName", "SurName", Input::Text, "Sur Name"},
    {"Address", "Address", Input::Text, "Address"},
    {"City", "City", Input::Text, "City"},
    {"Telephone", "Telephone", Input::Text, "Telephone"},
    {"Email", "Email", Input::Text, "Email"},
    {"PersonalIDNo", "PersonalIDNo", Input::Text, "Personal ID No."},
    {"Joined", "Joined", Input::Day, "Joined"},
    {"ShippingAddress", "ShippingAddress", Input::Text, "Shipping Address"},
};

constexpr Criterion ProductCriteria[] = {
    {"ID", "ID", Input::Text, "ID"},
    {"Description", "Description", Input::Text, "Description"},
    {"UM", "UM", Input::List, "UM"},
    {"Quantity", "Quantity", Input::Text, "Quantity"},
    {"Price", "Price", Input::Amount, "Price"},
    {"BarCode", "BarCode", Input::Text, "BarCode"},
    {"LastDelivery", "LastDelivery", Input::Day, "Last Delivery"},
};

constexpr Criterion SaleCriteria[] = {
    {"ID", "turnover.ID", Input::Text, "ID"},
    {"ProductID", "products.Description", Input::Pick, "Product", "turnover.ProductID"},
    {"Quantity", "turnover.Quantity", Input::Text, "Quantity"},
    {"Price", "turnover.Price", Input::Amount, "Price"},
    {"PricewTax", "turnover.PricewTax", Input::Amount, "Price with Tax"},
    {"CustomerID", "customers.SurName", Input::Pick, "Customer", "turnover.CustomerID"},
    {"Date", "turnover.Date", Input::Day, "Date"},
};

// A search over one table's own columns, each piece opening with a blank.
Search oneTable(const char *table, std::span<const Criterion> criteria,
                EditRequest (*grid)(db::Statement))
{
    const QString everyRecord = QStringLiteral("SELECT * FROM ") + QLatin1String(table);
    return {everyRecord + QStringLiteral(" WHERE"),
            QStringLiteral(" "),
            QStringLiteral(" and"),
            {},
            everyRecord,
            criteria,
            grid};
}

const Search &searchOf(FindTable table)
{
    static const Search cities = oneTable("cities", CityCriteria, editCities);
    static const Search customers = oneTable("customers", CustomerCriteria, editCustomers);
    static const Search products = oneTable("products", ProductCriteria, editProducts);
    // The sales whose customer and product are still there. Every piece of
    // a sales search opens with its own "and"; a blank parts it from the
    // value before it, as the server does not read "?and". A search is
    // planned by the server (a name is found best from its own table);
    // Show All reads the sales one by one in the order it lists them.
    static const QString byId = QStringLiteral(" order by turnover.ID;");
    static const Search sales{salesJoinSurnameFirst(SalesRead::AsPlanned),
                              QStringLiteral("and "),
                              QStringLiteral(" "),
                              byId,
                              salesJoinSurnameFirst(SalesRead::BySale) + byId,
                              SaleCriteria,
                              editTransactions};
    switch (table) {
    case FindTable::Cities:
        return cities;
    case FindTable::Customers:
        return customers;
    case FindTable::Products:
        return products;
    case FindTable::Transactions:
        break;
    }
    return sales;
}

const FindEntry *tickedEntry(const std::vector<FindEntry> &ticked, const char *criterion)
{
    for (const FindEntry &entry : ticked)
        if (entry.criterion == QLatin1String(criterion))
            return &entry;
    return nullptr;
}

QString emptyMessage(const Criterion &c)
{
    const QString label = QString::fromUtf8(c.label);
    switch (c.input) {
    case Input::List:
        return QStringLiteral("You have selected %1, but type is not selected!").arg(label);
    case Input::Pick:
        return QStringLiteral("You have selected %1 , but that isn't picked!").arg(label);
    case Input::Text:
    case Input::Amount:
    case Input::Day:
        break;
    }
    return QStringLiteral("You have selected %1, but that is empty!").arg(label);
}

// One ticked criterion as the statement compares it, or why it cannot be.
struct Comparison {
    QString column;
    db::SqlValue value;
    QString refusal;
};

Comparison compare(const Criterion &c, const FindEntry &entry)
{
    const QString column = QString::fromUtf8(c.column);
    if (c.input == Input::Day)
        return {column, db::SqlValue::date(entry.date), {}};
    if (c.input == Input::Pick && entry.pickedId)
        return {QString::fromUtf8(c.pickedColumn), db::SqlValue::integer(*entry.pickedId), {}};
    if (entry.text.trimmed().isEmpty())
        return {{}, {}, emptyMessage(c)};
    if (c.input != Input::Amount)
        return {column, db::SqlValue::text(entry.text), {}};
    if (!fmt::parseAmount(entry.text))
        return {{}, {}, fmt::unreadableAmountMessage(QString::fromUtf8(c.label))};
    return {column, typedAmount(entry.text), {}};
}

} // namespace

FindResult find(FindTable table, const std::vector<FindEntry> &ticked)
{
    const Search &search = searchOf(table);
    QString text = search.base;
    std::vector<db::SqlValue> values;
    for (const Criterion &c : search.criteria) {
        const FindEntry *entry = tickedEntry(ticked, c.name);
        if (!entry)
            continue;
        const Comparison comparison = compare(c, *entry);
        if (!comparison.refusal.isEmpty())
            return {std::nullopt, comparison.refusal};
        if (!values.empty())
            text += search.joiner;
        text += search.lead + comparison.column + QStringLiteral(" = ?");
        values.push_back(comparison.value);
    }
    if (values.empty())
        return {std::nullopt, QStringLiteral("You haven't selected category!")};
    text += search.tail;
    return {search.grid(db::Statement(text, std::move(values))), {}};
}

EditRequest showAll(FindTable table)
{
    const Search &search = searchOf(table);
    return search.grid(db::Statement(search.everyRecord));
}

} // namespace kestrel::sql
