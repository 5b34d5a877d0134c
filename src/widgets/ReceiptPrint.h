#pragma once
// The customer's receipt on paper or in a PDF. Receipt printers take a roll
// 80 mm wide; offices print on A4. The receipt lays itself out for the
// page it gets: on a narrow page each product's figures go under its
// description, on a wide one every figure has its column.

#include "core/shared/ShopDetails.h"
#include "core/statements/Receipt.h"

#include <QMarginsF>
#include <QPageSize>
#include <memory>

class QPrinter;
class QTextDocument;
class QWidget;

namespace kestrel {

// Pages narrower than this (printable width, in millimetres) get the roll's
// layout.
constexpr double NarrowReceiptMm = 100;

// The receipt as a document, laid out narrow or wide.
std::unique_ptr<QTextDocument> receiptDocument(const sql::Receipt &receipt, const ShopDetails &shop,
                                               bool narrow);

// The 80 mm roll, as long as this receipt needs.
QPageSize receiptRoll(const sql::Receipt &receipt, const ShopDetails &shop);
// The margins the receipt keeps on a page of that size, in millimetres.
QMarginsF receiptMargins(const QPageSize &size);

// Paints the receipt on printer's pages, laid out for its page width.
void paintReceipt(const sql::Receipt &receipt, const ShopDetails &shop, QPrinter &printer);

// What Print Receipt does for a sale: reads its receipt from the database
// in a connection cycle (a sale no longer there is a message), then opens
// the print dialog on the 80 mm roll, where A4 and the other page sizes are
// one choice away and "Print to File" saves a PDF.
void printReceipt(const sql::SaleRows &sale, QWidget *parent);
// The same for the sale that turnover row turnoverId belongs to.
void printReceiptOfRow(qint64 turnoverId, QWidget *parent);

} // namespace kestrel
