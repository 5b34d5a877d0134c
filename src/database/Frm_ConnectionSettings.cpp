#include "database/Frm_ConnectionSettings.h"
#include "ui_Frm_ConnectionSettings.h"

#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/FormHost.h"

#include <QLineEdit>

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
    for (QLineEdit *field : fields())
        field->setMaxLength(MaxParamLength);
}

Frm_ConnectionSettings::~Frm_ConnectionSettings()
{
    delete ui;
}

void Frm_ConnectionSettings::Form_Load()
{
    m_encoding = readParamFile(ParamFileName).encoding;
    if (LoadParamFile(ParamFileName)) {
        if (const QString refused = overLongMessage(m_loaded, ParamFileName); !refused.isEmpty())
            M::MsgBox(refused);
    }
}

void Frm_ConnectionSettings::showFirstStartNote()
{
    ui->lbl_FirstStart->show();
    // The window was sized without the note: it grows to hold it.
    if (kestrel::FormHost *host = kestrel::FormHost::instance())
        host->fitWindowTo(this);
    ui->txt_HSName->setFocus();
    ui->txt_HSName->selectAll();
}

std::array<QLineEdit *, ParamCount> Frm_ConnectionSettings::fields() const
{
    return {ui->txt_DSN,  ui->txt_Desc,     ui->txt_DBName, ui->txt_HSName,
            ui->txt_User, ui->txt_Password, ui->txt_Port,   ui->txt_SQLComm};
}

bool Frm_ConnectionSettings::LoadParamFile(const QString &fileName)
{
    const ParamFile file = readParamFile(fileName);
    if (!file.found)
        return false;
    m_loaded = file.values;
    for (int i = 0; i < ParamCount; ++i)
        fields()[i]->setText(file.values.at(i));
    return true;
}

QStringList Frm_ConnectionSettings::fieldValues() const
{
    QStringList values;
    for (int i = 0; i < ParamCount; ++i) {
        const QLineEdit *field = fields()[i];
        values.append(field->isModified() || i >= m_loaded.size() ? field->text() : m_loaded.at(i));
    }
    return values;
}

void Frm_ConnectionSettings::cmd_OK_Click()
{
    const QStringList values = fieldValues();
    if (const QString refused = overLongMessage(values, ParamFileName); !refused.isEmpty()) {
        M::MsgBox(refused);
        return;
    }
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
