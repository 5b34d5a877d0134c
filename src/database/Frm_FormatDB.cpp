#include "database/Frm_FormatDB.h"
#include "ui_Frm_FormatDB.h"

#include "core/database/ConnectionCycle.h"
#include "core/statements/Schema.h"
#include "database/Frm_ConnectionSettings.h"
#include "widgets/FormHost.h"

using namespace kestrel::db;

Frm_FormatDB::Frm_FormatDB(QWidget *parent) : KForm(parent), ui(new Ui::Frm_FormatDB)
{
    ui->setupUi(this);
    connect(ui->cmd_Create, &QPushButton::clicked, this, &Frm_FormatDB::cmd_Create_Click);
    connect(ui->cmd_Cancel, &QPushButton::clicked, this, &Frm_FormatDB::cmd_Cancel_Click);
}

Frm_FormatDB::~Frm_FormatDB()
{
    delete ui;
}

void Frm_FormatDB::Form_Load()
{
    // The operator sees, and may change, the database Create will use.
    if (kestrel::FormHost *host = kestrel::FormHost::instance())
        host->showForm<Frm_ConnectionSettings>();
}

void Frm_FormatDB::showStep(const QString &text)
{
    ui->lbl_Process->setText(text);
    ui->lbl_Process->repaint();
}

void Frm_FormatDB::cmd_Create_Click()
{
    showStep(QStringLiteral("Starting with database format..."));
    const QList<kestrel::sql::TableStatement> tables = kestrel::sql::schemaStatements();
    const bool ok = runConnectionCycle([&](OdbcConnection &connection) {
        if (tables.isEmpty())
            throw std::runtime_error("the table definitions are missing");
        for (qsizetype i = 0; i < tables.size(); ++i) {
            showStep(QStringLiteral("Making %1 table...").arg(tables[i].table.toUpper()));
            kestrel::sql::createTable(connection, tables[i]);
            ui->pgb_Process->setValue(int(100 * (i + 1) / tables.size()));
            ui->pgb_Process->repaint();
        }
        showStep(QStringLiteral("DataBase formatting finished."));
    });
    if (!ok)
        Unload();
}

void Frm_FormatDB::cmd_Cancel_Click()
{
    Unload();
}
