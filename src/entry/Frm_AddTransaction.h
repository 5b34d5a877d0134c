#pragma once
// Enters one sale: a customer and product lines picked from the result
// window, a quantity for each line asked by the quantity prompt, the date,
// and the totals without and with tax. Saving stores the whole sale in one
// transaction, never selling more than the store holds; a refused or failed
// save keeps the sale on screen so the operator can put it right and save
// again.

#include "core/statements/Receipt.h"
#include "core/statements/Sale.h"
#include "entry/EntryForm.h"
#include "entry/Frm_ProdQuant.h"

#include <QPointer>
#include <vector>

class Frm_QueryResults;
namespace kestrel {
struct ResultRequest;
}
namespace Ui {
class Frm_AddTransaction;
}

class Frm_AddTransaction : public kestrel::entry::EntryForm {
    Q_OBJECT
public:
    explicit Frm_AddTransaction(QWidget *parent = nullptr);
    ~Frm_AddTransaction() override;

    void Form_Load() override;
    void cmd_Reset_Click() override;

    // Restripes the product lines and shows the totals.
    void RefreshTransaction();

    // What the choosers hand over: the picked row's cells as the result
    // window shows them (cell 1 is the ID).
    void takeCustomerPick(const QStringList &T);
    void takeProductPick(const QStringList &T);
    // A product found by its bar code, in the same cells: a new line through
    // the quantity prompt offering one unit, or one unit more on the line
    // that already sells it, within the stock.
    void takeScannedProduct(const QStringList &T);

    // The product lines as the quantity prompt knows them: by a number each
    // line keeps while rows above it come and go. A line that is gone takes
    // nothing. The line's cell shows the quantity as the operator typed it.
    bool hasLine(int line) const;
    void setLineQuantity(int line, qint64 quantity, const QString &typed);
    void removeLine(int line);

    // The sale as the form holds it, on the date the picker shows.
    kestrel::sql::Sale sale() const;

    // Column widths of the two grids, in twips.
    static constexpr int CustomerWidths[] = {1740, 3000, 3000};
    static constexpr int ProductWidths[] = {1500, 4000, 1300, 1000, 1000};
    static constexpr int NarrowQuantityWidth = 1000;
    // From this many rows (header included) the product grid scrolls, and the
    // Quantity column gives up the room for the scroll bar.
    static constexpr int ScrollingRows = 11;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool saveRecord() override { return SaveTransaction(); }
    bool SaveTransaction();
    void ComputeTotals();
    void showTotals();
    void cmd_AddCustomer_Click();
    void cmd_AddProduct_Click();
    void cmd_RemoveProduct_Click();
    void dtp_Date_Change();
    // Finds the product of the scanned or typed bar code (Enter in the box).
    void txt_BarCode_Enter();
    void cmd_PrintReceipt_Click();
    // Keeps the box's text selected for the next scan.
    void readyForNextScan();

    // Writes the grids' headers and widths and the empty totals, as a fresh
    // form shows them.
    void showEmptySale();
    // Opens the result window on request as this form's chooser.
    void openChooser(kestrel::ResultRequest request, bool *pickFlag,
                     void (Frm_AddTransaction::*take)(const QStringList &));
    // Removes data row r, or empties it when it is the only one.
    void removeRow(int r);
    // Adds the picked product as a new line and asks for its quantity.
    void addProductLine(const QStringList &T, Frm_ProdQuant::Offer offer);
    // Opens the quantity prompt on line, for the picked product T.
    void askQuantity(int line, const QStringList &T, Frm_ProdQuant::Offer offer);
    int rowOfLine(int line) const;
    // Closes the quantity prompt when it is asking for one of this form's
    // lines.
    void closePrompt();

    // A product line: the number the quantity prompt knows it by, and what
    // the sale stores of it.
    struct ProductLine {
        int number = 0;
        kestrel::sql::SaleLine sold;
    };

    Ui::Frm_AddTransaction *ui;
    // What the totals boxes show: exactly what the saved rows will sum to.
    kestrel::sql::SaleTotals m_totals;
    std::optional<qint64> m_customerId;
    QString m_customerName;
    // The lines in the grid's order (index 0 is row 1); none while the
    // grid's one row is blank.
    std::vector<ProductLine> m_lines;
    int m_lastLine = 0;
    QPointer<Frm_QueryResults> m_chooser;
    // The rows of the sale this window saved last, for its receipt.
    std::optional<kestrel::sql::SaleRows> m_savedSale;
};
