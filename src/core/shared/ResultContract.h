#pragma once
// The result-window contract: the requests a caller writes before it opens
// one of the two result windows (the read-only Frm_QueryResults and the edit
// grid), the flags that say what a double click in the read-only window does,
// and the IDs a pick hands back to the edit grid. Everything lives for the
// whole run and keeps the last value written.

#include "core/database/Statement.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace mdl_Variables_Functions {

// ---- column tables ---------------------------------------------------------

// The five texts describing one grid column.
enum ColumnSlot {
    SlotEditor = 0, // editor kind of the edit grid: "TXT", "LTXT", "CMB", "DTPCK", "PCKBTN"
    SlotField = 1,  // name of the result field shown in the column
    SlotFormat = 2, // display pattern; empty: the value's ordinary text
    SlotWidth = 3,  // share of the grid's width, a decimal with a point ("0.0795")
    SlotHeader = 4, // text of the column's header cell
};
constexpr int ColumnTableColumns = 12;
constexpr int ColumnTableSlots = 5;

// Column 0 is the grid's fixed row-header column, 1 to 11 the data columns.
using ColumnDescription = std::array<QString, ColumnTableSlots>;
using ColumnTable = std::array<ColumnDescription, ColumnTableColumns>;

// A column's width fraction: empty or unreadable text counts as 0, and so does
// a negative share, which no grid can show.
double WidthFraction(const ColumnTable &table, int column);

// The column's share of totalWidth, rounded to a whole number with halves
// going to the even neighbour, so a column's width never depends on which side
// of .5 the float error happened to fall.
int ColumnWidth(const ColumnTable &table, int column, int totalWidth);

// Writes field, header and width of one data column; field and header are the
// same word in every list Kestrel opens.
void SetColumn(ColumnTable &table, int column, const QString &fieldAndHeader,
               const QString &widthFraction);

// ---- read-only window request ----------------------------------------------

// The SELECT whose rows the window shows, with its bound values.
extern kestrel::db::Statement QrySQL;
extern QString QryCaption; // the window's caption
extern int QryColCount;    // data columns; the grid gets one more
extern ColumnTable QryCellNameFormat;

// ---- what a double click in the read-only window does ----------------------

// Callers raise a flag only after the previous result window is closed (see
// Frm_QueryResults::Open), because closing the window lowers all of them: a
// chooser closed without a pick must not act in the next window.
extern bool DeleteMode; // delete the clicked record from DeleteTable
extern QString DeleteTable;
extern bool EditTransPickCustomer; // hand the surname to the find-transaction form
extern bool EditTransPickProduct;  // hand the description to the find-transaction form
extern bool AddTransPickCustomer;  // make the row the customer of the sale being entered
extern bool AddTransPickProduct;   // add the row as a product line of that sale
extern bool EditGridPick;          // give the edit grid row its new customer or product

// What a chooser does with the row picked in it, supplied by the window that
// opened the chooser: it receives cells 0 to n of the row as the window shows
// them (cell 1 is the record's ID). The window raising a pick flag sets it.
using PickHandOver = std::function<void(const QStringList &cells)>;
extern PickHandOver QryPickHandOver;

// Lowers the delete flag and every pick flag, and forgets the hand-over.
void LowerResultWindowFlags();

// ---- edit grid request -------------------------------------------------------

extern kestrel::db::Statement EditSQL;
extern int EditColCount;
extern ColumnTable EditCellNameFormat;
extern bool EditGridJoined; // rows come from the sales join; changes go to turnover

} // namespace mdl_Variables_Functions
