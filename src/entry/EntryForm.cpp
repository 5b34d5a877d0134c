#include "entry/EntryForm.h"

#include "core/database/ConnectionCycle.h"
#include "core/database/RefusedValue.h"
#include "core/database/RetriedTransaction.h"
#include "core/shared/Formats.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Records.h"

#include <QLineEdit>
#include <QPushButton>

namespace M = mdl_Variables_Functions;

namespace kestrel::entry {

bool isEmptyOrZero(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("0");
}

QString storedNote(const QString &table, qint64 id)
{
    const QString record =
        table == QLatin1String("cities") ? QStringLiteral("city") : table.chopped(1);
    return QStringLiteral("New %1 saved with ID %2").arg(record).arg(id);
}

QString storedNote(const sql::SaleIds &ids)
{
    if (ids.first == ids.last)
        return QStringLiteral("New sale saved with turnover ID %1").arg(ids.first);
    return QStringLiteral("New sale saved with turnover IDs %1 to %2").arg(ids.first).arg(ids.last);
}

EntryForm::EntryForm(const QString &table, AddNextFailure addNextFailure, QWidget *parent)
    : KForm(parent), m_table(table), m_addNextFailure(addNextFailure)
{
}

void EntryForm::connectButtons(QPushButton *ok, QPushButton *addNext, QPushButton *reset,
                               QPushButton *cancel)
{
    connect(ok, &QPushButton::clicked, this, &EntryForm::cmd_OK_Click);
    connect(addNext, &QPushButton::clicked, this, &EntryForm::cmd_AddNext_Click);
    connect(reset, &QPushButton::clicked, this, &EntryForm::cmd_Reset_Click);
    connect(cancel, &QPushButton::clicked, this, &EntryForm::cmd_Cancel_Click);
    answerEscapeWith(cancel);
}

void EntryForm::cmd_OK_Click()
{
    if (saveRecord())
        Unload();
}

void EntryForm::cmd_AddNext_Click()
{
    if (saveRecord()) {
        cmd_Reset_Click();
        setFocus(); // the first input, ready for the next record
    } else if (m_addNextFailure == AddNextFailure::Reported) {
        M::MsgBox(QStringLiteral("Failed to save!"));
    }
}

void EntryForm::cmd_Cancel_Click()
{
    Unload();
}

void EntryForm::showNextID(QLineEdit *idBox) const
{
    idBox->setText(QString::number(M::GetNextID(m_table)));
}

bool EntryForm::checkFailed(const QString &message) const
{
    M::MsgBox(message);
    return false;
}

bool EntryForm::insertRecord(const QStringList &columns, std::vector<db::SqlValue> values)
{
    const db::Statement statement = sql::insertRow(m_table, columns, values);
    qint64 id = 0;
    std::optional<db::Refusal> refused;
    // A transaction of its own, committed: a session that starts with
    // autocommit off would otherwise drop the row as the connection closes.
    const auto end = db::runTransactionCycle([&](db::Transaction &transaction) {
        refused = db::refusalOf([&] { transaction.connection().execute(statement); });
        if (refused)
            return; // rolled back: nothing stored
        id = sql::insertedId(transaction.connection(), m_table);
        transaction.commit();
    });
    if (end == db::TransactionEnd::Failed)
        Unload();
    if (end != db::TransactionEnd::Done)
        return false;
    if (!refused) {
        showStatusNote(storedNote(m_table, id));
        return true;
    }
    // A value the server would not take: the form stays with its input, to
    // be put right, and says which value it was where the server named it.
    const qsizetype named = columns.indexOf(refused->column, Qt::CaseInsensitive);
    if (named < 0)
        return checkFailed(db::refusedRecordMessage(QStringLiteral("this record")));
    const QString value = values[size_t(named)].string();
    const std::optional<Money> amount = values[size_t(named)].kind() == db::SqlValue::Kind::Decimal
                                            ? Money::parse(value)
                                            : std::nullopt;
    return checkFailed(
        db::refusedValueMessage(columns[named], amount ? fmt::formatAmount(*amount) : value));
}

bool EntryForm::abandonSave()
{
    db::reportConnectionFailure(nullptr);
    Unload();
    return false;
}

} // namespace kestrel::entry
