#pragma once
// The products that match the ticked criteria (ID, description, quantity in
// store, bar code, a range of last-delivery days), listed in the result
// window. A ticked criterion whose box is empty is refused with a message.

#include "core/statements/Reports.h"
#include "reports/ReportForm.h"

namespace Ui {
class Frm_QueryProductStore;
}

class Frm_QueryProductStore : public kestrel::reports::ReportForm {
    Q_OBJECT
public:
    explicit Frm_QueryProductStore(QWidget *parent = nullptr);
    ~Frm_QueryProductStore() override;

    void Form_Load() override;
    void cmd_OK_Click();
    void cmd_Reset_Click();
    void cmd_Cancel_Click();

private:
    kestrel::sql::ProductStoreCriteria criteria() const;

    Ui::Frm_QueryProductStore *ui;
};
