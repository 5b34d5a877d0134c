#pragma once
// The operator's manual, installed beside Kestrel's other data
// (manual.html), in a child window like every other: F1 or Help > Contents.

#include "widgets/KForm.h"

namespace Ui {
class Frm_Help;
}

class Frm_Help : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_Help(QWidget *parent = nullptr);
    ~Frm_Help() override;

    void Form_Load() override;
    // Shows the section of the window called topic (its class name), or the
    // beginning when the manual has none for it.
    void showTopic(const QString &topic);

private:
    Ui::Frm_Help *ui;
};
