#include "database/Frm_ConnectionSettings.h"
#include "ui_Frm_ConnectionSettings.h"

#include "core/shared/mdl_Variables_Functions.h"

namespace M = mdl_Variables_Functions;
using namespace kestrel::db;

Frm_ConnectionSettings::Frm_ConnectionSettings(QWidget *parent)
    : KForm(parent), ui(new Ui::Frm_ConnectionSettings)
{
    ui->setupUi(this);
    ui->ptrbx_MySQLogo->setPixmap(QPixmap(QStringLiteral(":/icons/database.png")));
    connect(ui->cmd_OK, &QPushButton::clicked, this, &Frm_ConnectionSettings::cmd_OK_Click);
    connect(ui->cmd_Cancel, &QPushButton::clicked, this, &Frm_ConnectionSettings::cmd_Cancel_Click);
    connect(ui->cmd_Default, &QPushButton::clicked, this,
            &Frm_ConnectionSettings::cmd_Default_Click);
    answerEscapeWith(ui->cmd_Cancel);
}

Frm_ConnectionSettings::~Frm_ConnectionSettings()
{
    delete ui;
}

void Frm_ConnectionSettings::Form_Load()
{
    m_encoding = readParamFile(ParamFileName).encoding;
    LoadParamFile(ParamFileName);
}

bool Frm_ConnectionSettings::LoadParamFile(const QString &fileName)
{
    const ParamFile file = readParamFile(fileName);
    if (!file.found)
        return false;
    QLineEdit *fields[ParamCount] = {ui->txt_DSN,    ui->txt_Desc,   ui->txt_DBName,
                                     ui->txt_HSName, ui->txt_User,   ui->txt_Password,
                                     ui->txt_Port,   ui->txt_SQLComm};
    for (int i = 0; i < ParamCount; ++i)
        fields[i]->setText(file.values.at(i));
    return true;
}

QStringList Frm_ConnectionSettings::fieldValues() const
{
    return {ui->txt_DSN->text(),    ui->txt_Desc->text(),   ui->txt_DBName->text(),
            ui->txt_HSName->text(), ui->txt_User->text(),   ui->txt_Password->text(),
            ui->txt_Port->text(),   ui->txt_SQLComm->text()};
}

void Frm_ConnectionSettings::cmd_OK_Click()
{
    const QStringList values = fieldValues();
    QString error;
    // The file first: the connection string changes only once it is stored.
    if (!writeParamFile(ParamFileName, values, &error, m_encoding)) {
        M::MsgBox(QStringLiteral("The connection settings could not be saved in %1: %2")
                      .arg(ParamFileName, error));
        return;
    }
    M::ConnString = M::BuildConnectionString(values);
    Unload();
}

void Frm_ConnectionSettings::cmd_Cancel_Click()
{
    Unload();
}

void Frm_ConnectionSettings::cmd_Default_Click()
{
    if (!LoadParamFile(DefaultParamFileName))
        M::MsgBox(QStringLiteral("The default settings file %1 could not be read; "
                                 "the fields are unchanged.")
                      .arg(DefaultParamFileName));
}
