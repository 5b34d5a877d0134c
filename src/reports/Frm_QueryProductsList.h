#pragma once
// The whole product list, ordered by the column the operator chooses.

#include "reports/ReportForm.h"

namespace Ui {
class Frm_QueryProductsList;
}

class Frm_QueryProductsList : public kestrel::reports::ReportForm {
    Q_OBJECT
public:
    explicit Frm_QueryProductsList(QWidget *parent = nullptr);
    ~Frm_QueryProductsList() override;

    void cmd_Order_Click();

private:
    Ui::Frm_QueryProductsList *ui;
};
