#pragma once
// Adds one customer: names, address, city code, contact numbers, the date the
// customer joined, and a shipping address that follows the address while
// "Same as Address" is ticked.

#include "entry/EntryForm.h"

namespace Ui {
class Frm_AddCustomer;
}

class Frm_AddCustomer : public kestrel::entry::EntryForm {
    Q_OBJECT
public:
    explicit Frm_AddCustomer(QWidget *parent = nullptr);
    ~Frm_AddCustomer() override;

    void Form_Load() override;
    void cmd_Reset_Click() override;
    void chk_SameAddress_Click();
    void txt_Address_KeyUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool saveRecord() override { return SaveCustomer(); }
    bool SaveCustomer();
    void copyAddressToShipping();

    Ui::Frm_AddCustomer *ui;
};
