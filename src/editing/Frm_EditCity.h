#pragma once
// Finds cities to edit by ID, acronym, name, postal code, country code and
// country.

#include "editing/FindForm.h"

namespace Ui {
class Frm_EditCity;
}

class Frm_EditCity : public kestrel::FindForm {
    Q_OBJECT
public:
    explicit Frm_EditCity(QWidget *parent = nullptr);
    ~Frm_EditCity() override;

private:
    Ui::Frm_EditCity *ui;
};
