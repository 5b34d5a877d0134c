#pragma once
// The shop's name and address as receipts print them (ShopDetails). OK
// keeps them for every later receipt; Cancel (and Esc) leaves them as they
// were.

#include "widgets/KForm.h"

namespace Ui {
class Frm_ShopSettings;
}

class Frm_ShopSettings : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_ShopSettings(QWidget *parent = nullptr);
    ~Frm_ShopSettings() override;

    void Form_Load() override;
    void cmd_OK_Click();

private:
    Ui::Frm_ShopSettings *ui;
};
