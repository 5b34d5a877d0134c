#pragma once
// The about box: product name, logo and a few words on Kestrel.

#include "widgets/KForm.h"

namespace Ui {
class Frm_About;
}

class Frm_About : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_About(QWidget *parent = nullptr);
    ~Frm_About() override;

private:
    Ui::Frm_About *ui;
};
