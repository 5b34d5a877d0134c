#pragma once
// Raises or lowers the price of every product, by a percentage of each
// price or by a fixed amount, in one transaction. The amount keeps to a
// ceiling as it is typed (500 % up, 100 % down, 5000 Euro either way), and a
// fixed decrease that would take some price below zero changes nothing.

#include "core/shared/Money.h"
#include "core/statements/Reports.h"
#include "reports/ReportForm.h"

namespace Ui {
class Frm_QueryChangePrice;
}

class Frm_QueryChangePrice : public kestrel::reports::ReportForm {
    Q_OBJECT
public:
    explicit Frm_QueryChangePrice(QWidget *parent = nullptr);
    ~Frm_QueryChangePrice() override;

    void opt_Percentage_Click();
    void opt_Absolute_Click();
    void opt_Plus_Click();
    void opt_Minus_Click();
    void cmd_OK_Click();
    void cmd_Reset_Click();
    void cmd_Cancel_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void txt_Amount_KeyUp(int key);
    void txt_Amount_LostFocus();
    void kindChosen(const QString &unit, int maxLength);
    void directionChosen();
    // Empty becomes "0,00"; an amount above the ceiling becomes the ceiling.
    void checkAmount();
    void replaceAmount(const QString &text);
    void focusAmount();
    // The largest amount the chosen kind and direction allow; none before
    // a direction is chosen for a percentage.
    std::optional<kestrel::Money> ceiling() const;
    kestrel::sql::PriceChange chosenChange() const;
    // Sends the change in one transaction and tells the status bar how many
    // prices changed. False when it was refused (the form stays, the
    // operator told why) or failed (reported, the form closed).
    bool changePrices(const kestrel::sql::PriceChange &change,
                      const kestrel::db::Statement &update);

    Ui::Frm_QueryChangePrice *ui;
};
