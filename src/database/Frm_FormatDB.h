#pragma once
// Creates Kestrel's four tables in an empty database, one step at a time,
// next to the connection settings that say which database that is.

#include "widgets/KForm.h"

namespace Ui {
class Frm_FormatDB;
}

class Frm_FormatDB : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_FormatDB(QWidget *parent = nullptr);
    ~Frm_FormatDB() override;

    void Form_Load() override;
    void cmd_Create_Click();
    void cmd_Cancel_Click();

private:
    void showStep(const QString &text);

    Ui::Frm_FormatDB *ui;
};
