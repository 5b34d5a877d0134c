#pragma once
// Finds products to edit by ID, description, unit, quantity, price, bar code
// and the day of their last delivery.

#include "editing/FindForm.h"

namespace Ui {
class Frm_EditProduct;
}

class Frm_EditProduct : public kestrel::FindForm {
    Q_OBJECT
public:
    explicit Frm_EditProduct(QWidget *parent = nullptr);
    ~Frm_EditProduct() override;

private:
    Ui::Frm_EditProduct *ui;
};
