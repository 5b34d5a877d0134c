#pragma once
// Adds one city: acronym, full name, postal code, country code and a country
// from the fixed list.

#include "entry/EntryForm.h"

namespace Ui {
class Frm_AddCity;
}

class Frm_AddCity : public kestrel::entry::EntryForm {
    Q_OBJECT
public:
    explicit Frm_AddCity(QWidget *parent = nullptr);
    ~Frm_AddCity() override;

    void Form_Load() override;
    void cmd_Reset_Click() override;

private:
    bool saveRecord() override { return SaveCity(); }
    bool SaveCity();

    Ui::Frm_AddCity *ui;
};
