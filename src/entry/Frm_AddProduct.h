#pragma once
// Adds one product: description, price, bar code, unit of measure from the
// fixed list, the quantity in store (10, 50, 100 or a typed number) and the
// date of the last delivery.

#include "entry/EntryForm.h"

namespace Ui {
class Frm_AddProduct;
}

class Frm_AddProduct : public kestrel::entry::EntryForm {
    Q_OBJECT
public:
    explicit Frm_AddProduct(QWidget *parent = nullptr);
    ~Frm_AddProduct() override;

    void Form_Load() override;
    void cmd_Reset_Click() override;

private:
    bool saveRecord() override { return SaveProduct(); }
    bool SaveProduct();
    // The quantity the selected option stands for, as text.
    QString chosenQuantity() const;

    Ui::Frm_AddProduct *ui;
};
