#pragma once
// The about box: product name, logo, a few words on Kestrel and where its
// log is.

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
