#include "reports/Frm_QueryChangePrice.h"
#include "ui_Frm_QueryChangePrice.h"

#include "core/database/RetriedTransaction.h"
#include "core/shared/Formats.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/NumericKeyFilter.h"
#include "widgets/TextLengthLimit.h"

#include <QKeyEvent>
#include <QTimer>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

const QString NoDirection = QStringLiteral("You haven't selected + or -!!!");
const QString NotANumber = QStringLiteral("Amount is not a number!!!");

// Lets a checked option of an exclusive group go unchecked.
void unchoose(QRadioButton *option)
{
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

QString cheaperMessage(qint64 cheaper, const QString &amount)
{
    const QString products = cheaper == 1 ? QStringLiteral("1 product costs")
                                          : QStringLiteral("%1 products cost").arg(cheaper);
    return products
           + QStringLiteral(" less than %1 Euro: no price was changed!!!")
                 .arg(fmt::tidyAmount(amount));
}

QString changedNote(qint64 changed)
{
    if (changed < 0)
        return QStringLiteral("Prices changed.");
    return changed == 1 ? QStringLiteral("1 price changed.")
                        : QStringLiteral("%1 prices changed.").arg(changed);
}

} // namespace

Frm_QueryChangePrice::Frm_QueryChangePrice(QWidget *parent)
    : ReportForm(parent), ui(new Ui::Frm_QueryChangePrice)
{
    ui->setupUi(this);
    NumericKeyFilter::install(ui->txt_Amount, true);
    ui->txt_Amount->installEventFilter(this);
    connect(ui->opt_Percentage, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opt_Percentage_Click();
    });
    connect(ui->opt_Absolute, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opt_Absolute_Click();
    });
    connect(ui->opt_Plus, &QRadioButton::clicked, this, &Frm_QueryChangePrice::opt_Plus_Click);
    connect(ui->opt_Minus, &QRadioButton::clicked, this, &Frm_QueryChangePrice::opt_Minus_Click);
    connect(ui->cmd_OK, &QPushButton::clicked, this, &Frm_QueryChangePrice::cmd_OK_Click);
    connect(ui->cmd_Reset, &QPushButton::clicked, this, &Frm_QueryChangePrice::cmd_Reset_Click);
    connect(ui->cmd_Cancel, &QPushButton::clicked, this, &Frm_QueryChangePrice::cmd_Cancel_Click);
    answerEscapeWith(ui->cmd_Cancel);
    startWith(ui->opt_Percentage);
}

Frm_QueryChangePrice::~Frm_QueryChangePrice()
{
    delete ui;
}

// ---- the kind and the direction -------------------------------------------

void Frm_QueryChangePrice::opt_Percentage_Click()
{
    kindChosen(QStringLiteral("%"), 6);
}

void Frm_QueryChangePrice::opt_Absolute_Click()
{
    kindChosen(QStringLiteral("Euro"), 7);
}

void Frm_QueryChangePrice::kindChosen(const QString &unit, int maxLength)
{
    ui->lbl_Amount->setText(unit);
    // An amount typed before the kind changed meets the new ceiling at once:
    // what the box shows is what OK sends, and a fixed amount too long for a
    // percentage ("5000,00") becomes its ceiling rather than being cut short.
    if (ui->txt_Amount->isEnabled())
        checkAmount();
    kestrel::setTextLimit(ui->txt_Amount, maxLength);
}

void Frm_QueryChangePrice::opt_Plus_Click()
{
    directionChosen();
}

void Frm_QueryChangePrice::opt_Minus_Click()
{
    directionChosen();
}

void Frm_QueryChangePrice::directionChosen()
{
    ui->txt_Amount->setEnabled(true);
    focusAmount();
    checkAmount();
    // An arrow key that moved the choice gives the focus to the option once
    // this handler returns; the amount takes it back.
    QTimer::singleShot(0, this, [this] {
        if (!ui->txt_Amount->hasFocus())
            focusAmount();
    });
}

// ---- the amount ------------------------------------------------------------

bool Frm_QueryChangePrice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->txt_Amount) {
        if (event->type() == QEvent::KeyRelease)
            txt_Amount_KeyUp(static_cast<QKeyEvent *>(event)->key());
        else if (event->type() == QEvent::FocusOut)
            txt_Amount_LostFocus();
    }
    return ReportForm::eventFilter(watched, event);
}

void Frm_QueryChangePrice::txt_Amount_KeyUp(int key)
{
    checkAmount();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ui->cmd_OK->setFocus();
}

void Frm_QueryChangePrice::txt_Amount_LostFocus()
{
    const QString tidy = fmt::tidyAmount(ui->txt_Amount->text());
    if (tidy != ui->txt_Amount->text())
        ui->txt_Amount->setText(tidy);
}

std::optional<Money> Frm_QueryChangePrice::ceiling() const
{
    if (ui->opt_Absolute->isChecked())
        return Money::units(5000);
    if (ui->opt_Plus->isChecked())
        return Money::units(500);
    if (ui->opt_Minus->isChecked())
        return Money::units(100);
    return std::nullopt;
}

void Frm_QueryChangePrice::checkAmount()
{
    if (ui->txt_Amount->text().isEmpty())
        replaceAmount(QStringLiteral("0,00"));
    // Text that is no number ("1,2,3") counts as nothing here; OK refuses it.
    const Money amount = fmt::parseAmount(ui->txt_Amount->text()).value_or(Money::zero());
    if (const std::optional<Money> limit = ceiling(); limit && amount > *limit)
        replaceAmount(fmt::formatAmount(*limit));
}

void Frm_QueryChangePrice::replaceAmount(const QString &text)
{
    ui->txt_Amount->setText(text);
    // The next digit types over the replacement rather than after it.
    ui->txt_Amount->selectAll();
}

void Frm_QueryChangePrice::focusAmount()
{
    ui->txt_Amount->setFocus();
    ui->txt_Amount->selectAll();
}

// ---- the buttons -----------------------------------------------------------

sql::PriceChange Frm_QueryChangePrice::chosenChange() const
{
    sql::PriceChange change;
    change.kind = ui->opt_Absolute->isChecked() ? sql::PriceChangeKind::Absolute
                                                : sql::PriceChangeKind::Percentage;
    change.direction =
        ui->opt_Minus->isChecked() ? sql::PriceDirection::Minus : sql::PriceDirection::Plus;
    change.amount = ui->txt_Amount->text();
    return change;
}

void Frm_QueryChangePrice::cmd_OK_Click()
{
    // However the text came in (a paste by mouse has no key to release),
    // the ceilings hold for what is sent.
    checkAmount();
    if (!ui->opt_Plus->isChecked() && !ui->opt_Minus->isChecked()) {
        M::MsgBox(NoDirection);
        return;
    }
    const sql::PriceChange change = chosenChange();
    const std::optional<db::Statement> update = sql::changeAllPrices(change);
    if (!update) {
        M::MsgBox(NotANumber);
        focusAmount();
        return;
    }
    if (changePrices(change, *update))
        Unload();
}

bool Frm_QueryChangePrice::changePrices(const sql::PriceChange &change, const db::Statement &update)
{
    qint64 cheaper = 0;
    qint64 changed = 0;
    const auto end = db::runTransactionCycle([&](db::Transaction &transaction) {
        db::OdbcConnection &connection = transaction.connection();
        cheaper = 0;
        if (change.canGoBelowZero()) {
            // A price cannot go below zero: a strict server would refuse the
            // whole change, a lenient one would set those prices to 0.
            const db::ResultSet counted =
                connection.query(*sql::productsCheaperThan(change.amount));
            cheaper = counted.rows.at(0).at(0).value_or(QString()).toLongLong();
            if (cheaper > 0)
                return; // rolled back; nothing was changed
        }
        changed = sql::changePricesCounted(connection, update);
        transaction.commit();
    });
    if (end == db::TransactionEnd::Failed) {
        Unload();
        return false;
    }
    if (end == db::TransactionEnd::Busy)
        return false; // told; the form keeps the change to try again
    if (cheaper > 0) {
        M::MsgBox(cheaperMessage(cheaper, change.amount));
        return false;
    }
    showStatusNote(changedNote(changed));
    return true;
}

void Frm_QueryChangePrice::cmd_Reset_Click()
{
    ui->txt_Amount->setText(QStringLiteral("0,00"));
    ui->txt_Amount->setEnabled(false);
    ui->opt_Percentage->setChecked(true); // unchooses Absolute
    unchoose(ui->opt_Plus);
    unchoose(ui->opt_Minus);
}

void Frm_QueryChangePrice::cmd_Cancel_Click()
{
    Unload();
}
