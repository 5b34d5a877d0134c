#pragma once
// Finds customers to edit by any of their fields.

#include "editing/FindForm.h"

namespace Ui {
class Frm_EditCustomer;
}

class Frm_EditCustomer : public kestrel::FindForm {
    Q_OBJECT
public:
    explicit Frm_EditCustomer(QWidget *parent = nullptr);
    ~Frm_EditCustomer() override;

private:
    Ui::Frm_EditCustomer *ui;
};
