#include "entry/Frm_AddProduct.h"
#include "ui_Frm_AddProduct.h"

#include "core/shared/FixedLists.h"
#include "core/shared/Formats.h"
#include "widgets/FixedListBox.h"
#include "widgets/NumericKeyFilter.h"

#include <QDate>
#include <QRegularExpression>

using namespace kestrel;

Frm_AddProduct::Frm_AddProduct(QWidget *parent)
    : EntryForm(QStringLiteral("products"), AddNextFailure::Silent, parent),
      ui(new Ui::Frm_AddProduct)
{
    ui->setupUi(this);
    lists::setUpFixedList(ui->cmb_UM, lists::unitItems());
    NumericKeyFilter::install(ui->txt_Price, true);
    NumericKeyFilter::install(ui->txt_BarCode, false);
    NumericKeyFilter::install(ui->txt_CustomQuantity, false);
    connectButtons(ui->cmd_OK, ui->cmd_AddNext, ui->cmd_Reset, ui->cmd_Cancel);
    // The operator starts typing in the first box that takes input.
    setFocusProxy(ui->txt_Description);
}

Frm_AddProduct::~Frm_AddProduct()
{
    delete ui;
}

void Frm_AddProduct::Form_Load()
{
    showNextID(ui->txt_ID);
    ui->mntvw_LastDelivery->setSelectedDate(QDate::currentDate());
}

void Frm_AddProduct::cmd_Reset_Click()
{
    showNextID(ui->txt_ID);
    ui->txt_Description->clear();
    ui->txt_Price->clear();
    ui->txt_BarCode->clear();
    ui->cmb_UM->setCurrentIndex(-1);
    ui->opt_CustomQuantity->setChecked(true);
    ui->txt_CustomQuantity->clear();
    ui->mntvw_LastDelivery->setSelectedDate(QDate::currentDate());
}

QString Frm_AddProduct::chosenQuantity() const
{
    if (ui->opt_10xQuantity->isChecked())
        return QStringLiteral("10");
    if (ui->opt_50xQuantity->isChecked())
        return QStringLiteral("50");
    if (ui->opt_100xQuantity->isChecked())
        return QStringLiteral("100");
    return ui->txt_CustomQuantity->text();
}

bool Frm_AddProduct::SaveProduct()
{
    const QString quantity = chosenQuantity();
    if (ui->txt_Description->toPlainText().isEmpty())
        return checkFailed(QStringLiteral("Description can't be empty!!!"));
    if (entry::isEmptyOrZero(ui->txt_Price->text()))
        return checkFailed(QStringLiteral("Price can't be empty!!!"));
    // "1,2,3" or a lone comma would reach the server and fail there; more
    // than two decimals or more than the largest amount the server would
    // round away.
    const Money::Reading price = Money::read(ui->txt_Price->text());
    if (price.problem == Money::Problem::NotAnAmount)
        return checkFailed(fmt::unreadableAmountMessage(QStringLiteral("Price")));
    if (!price)
        return checkFailed(fmt::unstorableAmountMessage(QStringLiteral("Price")));
    if (ui->txt_BarCode->text().isEmpty())
        return checkFailed(QStringLiteral("BarCode can't be empty!!!"));
    if (ui->cmb_UM->currentText().isEmpty())
        return checkFailed(QStringLiteral("UM can't be empty!!!"));
    if (quantity.isEmpty())
        return checkFailed(QStringLiteral("Quantity can't be empty!!!"));
    const std::optional<qint64> units = fmt::parseQuantity(quantity);
    if (!units && quantity.contains(QRegularExpression(QStringLiteral("[^0-9]"))))
        return abandonSave(); // only a paste brings anything but digits
    if (!units)
        return checkFailed(QStringLiteral("Quantity must be a whole number of at most %1!!!")
                               .arg(fmt::MaxQuantity));
    if (*units == 0)
        return checkFailed(QStringLiteral("Quantity can't be empty!!!"));
    const QDate lastDelivery = ui->mntvw_LastDelivery->selectedDate();
    if (!fmt::isStorableDate(lastDelivery))
        return checkFailed(fmt::unstorableDateMessage(QStringLiteral("Last Delivery")));
    return insertRecord(
        {QStringLiteral("Description"), QStringLiteral("UM"), QStringLiteral("Quantity"),
         QStringLiteral("Price"), QStringLiteral("BarCode"), QStringLiteral("LastDelivery")},
        {db::SqlValue::text(ui->txt_Description->toPlainText()),
         db::SqlValue::text(lists::selectedValue(ui->cmb_UM)), db::SqlValue::integer(*units),
         price.amount.toSql(), db::SqlValue::text(ui->txt_BarCode->text()),
         db::SqlValue::date(lastDelivery)});
}
