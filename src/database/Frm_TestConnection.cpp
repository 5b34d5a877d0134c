#include "database/Frm_TestConnection.h"
#include "ui_Frm_TestConnection.h"

#include "core/database/ConnectionCycle.h"
#include "core/statements/Records.h"

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
    // The answers in the order the questions are asked.
    QLineEdit *const boxes[] = {ui->txt_ConnID, ui->txt_User, ui->txt_DB, ui->txt_Version};
    const auto questions = kestrel::sql::serverQuestions();
    repaint(); // on screen before the questions are asked
    runConnectionCycle([&](OdbcConnection &connection) {
        for (size_t i = 0; i < questions.size(); ++i) {
            const ResultSet answer = connection.query(questions[i]);
            if (answer.rows.empty() || answer.rows.front().empty() || !answer.rows.front().front())
                throw std::runtime_error("no answer to " + questions[i].sql.toStdString());
            boxes[i]->setText(*answer.rows.front().front());
        }
    });
}
