#pragma once
// The sales between two days, both included, or every sale: the operator
// picks the days on two calendars and the result window lists the sales.

#include "reports/ReportForm.h"

namespace Ui {
class Frm_QueryTurnoverBInterval;
}

class Frm_QueryTurnoverBInterval : public kestrel::reports::ReportForm {
    Q_OBJECT
public:
    explicit Frm_QueryTurnoverBInterval(QWidget *parent = nullptr);
    ~Frm_QueryTurnoverBInterval() override;

    void Form_Load() override;
    void cmd_OK_Click();
    void cmd_ShowAll_Click();
    void cmd_Cancel_Click();

private:
    Ui::Frm_QueryTurnoverBInterval *ui;
};
