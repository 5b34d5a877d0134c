#pragma once
// Finds sales to edit by their own fields and by a customer or a product
// picked from a list. Each pick button, once pressed, gives way to the text
// box it fills, until Reset; a picked record is found by its ID while the
// box still shows what was picked, and by the name typed over it otherwise.

#include "core/shared/ResultRequest.h"
#include "editing/FindForm.h"

#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;
class Frm_QueryResults;
namespace Ui {
class Frm_EditTransaction;
}

class Frm_EditTransaction : public kestrel::FindForm {
    Q_OBJECT
public:
    explicit Frm_EditTransaction(QWidget *parent = nullptr);
    ~Frm_EditTransaction() override;

    void cmd_PickCust_Click();
    void cmd_PickProd_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // A pick button, the text box that takes its place, and what was picked.
    struct PickPlace {
        QCheckBox *tick;
        QPushButton *button;
        QLineEdit *box;
        bool *pickFlag;
        kestrel::ResultRequest (*list)();
        int textCell; // the chooser's cell the box receives
        kestrel::PickedRecord picked;
    };

    void clearForm() override;
    void restore(PickPlace &place);
    void openChooser(PickPlace &place);
    void takePick(PickPlace &place, const QStringList &T);
    void closeChooser();

    Ui::Frm_EditTransaction *ui;
    PickPlace m_customer;
    PickPlace m_product;
    QPointer<Frm_QueryResults> m_chooser;
};
