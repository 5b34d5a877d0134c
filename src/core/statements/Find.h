#pragma once
// The find forms' statements: the criteria the operator ticked become one
// SELECT over a table (or over the sales joined with their customers and
// products), handed to the edit grid with that table's columns. Every
// criterion compares one column with a bound value; the criteria are visited
// in each table's fixed order, and the first ticked one whose input is empty
// stops the search with its message.

#include "core/shared/EditRequest.h"

#include <QDate>
#include <QString>
#include <optional>

namespace kestrel::sql {

enum class FindTable { Cities, Customers, Products, Transactions };

// One ticked criterion and what its input holds. The criterion is named as
// its form names it: "Country", "PricewTax", and for sales "ProductID" and
// "CustomerID".
struct FindEntry {
    QString criterion = {};
    // A text box's text as typed, or a fixed list's value (empty when
    // nothing is selected).
    QString text = {};
    // A calendar's day.
    QDate date = {};
    // The record picked from a list, while its text box still shows the
    // picked text: the search is for that record, not for its namesakes.
    std::optional<qint64> pickedId = {};
};

// The edit grid's request, or the message that stops the search.
struct FindResult {
    std::optional<EditRequest> request;
    QString message;
};

// The search for the ticked criteria (in any order; they are visited in
// the table's). An input holding only blanks counts as empty; an amount is
// compared as the number it is and refused when it is none.
FindResult find(FindTable table, const std::vector<FindEntry> &ticked);

// Every record of the table, in the edit grid.
EditRequest showAll(FindTable table);

} // namespace kestrel::sql
