#include "database/Frm_ShopSettings.h"
#include "ui_Frm_ShopSettings.h"

#include "core/shared/ShopDetails.h"

Frm_ShopSettings::Frm_ShopSettings(QWidget *parent) : KForm(parent), ui(new Ui::Frm_ShopSettings)
{
    ui->setupUi(this);
    connect(ui->cmd_OK, &QPushButton::clicked, this, &Frm_ShopSettings::cmd_OK_Click);
    connect(ui->cmd_Cancel, &QPushButton::clicked, this, &KForm::Unload);
    answerEscapeWith(ui->cmd_Cancel);
    setFocusProxy(ui->txt_ShopName);
}

Frm_ShopSettings::~Frm_ShopSettings()
{
    delete ui;
}

void Frm_ShopSettings::Form_Load()
{
    const kestrel::ShopDetails shop = kestrel::ShopDetails::load();
    ui->txt_ShopName->setText(shop.name);
    ui->txt_ShopAddress->setPlainText(shop.address);
}

void Frm_ShopSettings::cmd_OK_Click()
{
    kestrel::ShopDetails{ui->txt_ShopName->text(), ui->txt_ShopAddress->toPlainText()}.save();
    Unload();
}
