#pragma once
// Connects with the current settings as soon as it opens and shows what the
// server says about the connection: its ID, the account, the database and
// the server's version.

#include "widgets/KForm.h"

namespace Ui {
class Frm_TestConnection;
}

class Frm_TestConnection : public kestrel::KForm {
    Q_OBJECT
public:
    explicit Frm_TestConnection(QWidget *parent = nullptr);
    ~Frm_TestConnection() override;

    void Form_Load() override;

private:
    Ui::Frm_TestConnection *ui;
};
