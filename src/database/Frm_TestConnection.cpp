#include "Frm_TestConnection.h"
#include "ui_Frm_TestConnection.h"

#include "ConnectionCycle.h"

using namespace kestrel::db;

Frm_TestConnection::Frm_TestConnection(QWidget *parent)
    : KForm(parent), ui(new Ui::Frm_TestConnection)
{
    ui->setupUi(this);
}

Frm_TestConnection::~Frm_TestConnection()
{
    delete ui;
}

void Frm_TestConnection::Form_Load()
{
    const std::pair<const char *, QLineEdit *> questions[] = {
        {"SELECT CONNECTION_ID();", ui->txt_ConnID},
        {"SELECT USER();", ui->txt_User},
        {"SELECT DATABASE();", ui->txt_DB},
        {"SELECT VERSION();", ui->txt_Version},
    };
    repaint(); // on screen before the questions are asked
    runConnectionCycle([&](OdbcConnection &connection) {
        for (const auto &[sql, box] : questions) {
            const ResultSet answer = connection.query(QString::fromLatin1(sql));
            if (answer.rows.empty() || answer.rows.front().empty() || !answer.rows.front().front())
                throw std::runtime_error(std::string("no answer to ") + sql);
            box->setText(*answer.rows.front().front());
        }
    });
}
