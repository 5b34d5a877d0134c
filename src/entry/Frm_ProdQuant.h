#pragma once
// Asks for the quantity of the product line just added to a sale, and checks
// it against the stock the product list showed. It remembers the line it was
// opened for: OK writes the quantity there, Cancel (and Esc) takes that line
// away again. It never talks to the database.

#include "widgets/KForm.h"

#include <QPointer>

class Frm_AddTransaction;
namespace Ui {
class Frm_ProdQuant;
}

class Frm_ProdQuant : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_ProdQuant(QWidget *parent = nullptr);
    ~Frm_ProdQuant() override;

    // What the prompt offers: the quantity typed last, for the operator to
    // type over (a pick from the product list); or one unit with the keys on
    // OK, so that the Enter after a scan sells one (a scanned bar code).
    enum class Offer { TypedQuantity, OneUnit };

    // Asks for line of sale: the product's ID, its unit and its quantity in
    // store, as the product list showed them.
    void askFor(Frm_AddTransaction *sale, int line, qint64 productId, const QString &unit,
                qint64 inStore, Offer offer = Offer::TypedQuantity);

    Frm_AddTransaction *sale() const { return m_sale; }
    int line() const { return m_line; }

    void cmd_OK_Click();
    void cmd_Cancel_Click();

    static inline const QString NotEnoughText = QStringLiteral("Not enough supplies in store!");

private:
    Ui::Frm_ProdQuant *ui;
    QPointer<Frm_AddTransaction> m_sale;
    int m_line = 0;
    // What the label shows: the stock the quantity is checked against.
    qint64 m_inStore = 0;
};
