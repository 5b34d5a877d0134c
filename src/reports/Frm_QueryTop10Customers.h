#pragma once
// The ten best customers, by the number of sales rows or by the money they
// spent.

#include "reports/ReportForm.h"

namespace Ui {
class Frm_QueryTop10Customers;
}

class Frm_QueryTop10Customers : public kestrel::reports::ReportForm {
    Q_OBJECT
public:
    explicit Frm_QueryTop10Customers(QWidget *parent = nullptr);
    ~Frm_QueryTop10Customers() override;

    void cmd_OK_Click();

private:
    Ui::Frm_QueryTop10Customers *ui;
};
