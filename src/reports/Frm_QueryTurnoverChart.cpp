#include "reports/Frm_QueryTurnoverChart.h"
#include "ui_Frm_QueryTurnoverChart.h"

#include "core/database/ConnectionCycle.h"
#include "core/shared/mdl_Variables_Functions.h"

#include <QBarSeries>
#include <QBarSet>
#include <QKeyEvent>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

const QString BarHint =
    QStringLiteral("Left and Right on the chart, or the mouse, show each bar's figures.");

QBarSet *grossBars(QChart *chart)
{
    const QList<QAbstractSeries *> series = chart ? chart->series() : QList<QAbstractSeries *>();
    auto *bars = series.isEmpty() ? nullptr : qobject_cast<QBarSeries *>(series.front());
    return bars && bars->count() > 0 ? bars->barSets().front() : nullptr;
}

} // namespace

Frm_QueryTurnoverChart::Frm_QueryTurnoverChart(QWidget *parent)
    : ReportForm(parent), ui(new Ui::Frm_QueryTurnoverChart)
{
    ui->setupUi(this);
    connect(ui->cmd_Show, &QPushButton::clicked, this, &Frm_QueryTurnoverChart::cmd_Show_Click);
    connect(ui->cmd_Export, &QPushButton::clicked, this, &Frm_QueryTurnoverChart::cmd_Export_Click);
    connect(ui->cmd_Print, &QPushButton::clicked, this, &Frm_QueryTurnoverChart::cmd_Print_Click);
    connect(ui->cmd_Close, &QPushButton::clicked, this, &Frm_QueryTurnoverChart::cmd_Close_Click);
    answerEscapeWith(ui->cmd_Close);
    answerEnterWith(ui->cmd_Show,
                    {ui->mntvw_From, ui->mntvw_To, ui->opt_Day, ui->opt_Week, ui->opt_Month});
    ui->cht_Turnover->setRenderHint(QPainter::Antialiasing);
    ui->cht_Turnover->installEventFilter(this);
    startWith(ui->opt_Day);
    setFocusProxy(ui->mntvw_From);
}

Frm_QueryTurnoverChart::~Frm_QueryTurnoverChart()
{
    delete ui;
}

void Frm_QueryTurnoverChart::Form_Load()
{
    // This month so far: a chart worth looking at on the first Enter.
    const QDate today = QDate::currentDate();
    ui->mntvw_From->setSelectedDate(sql::periodStart(today, sql::TurnoverPeriod::Month));
    ui->mntvw_To->setSelectedDate(today);
}

void Frm_QueryTurnoverChart::cmd_Show_Click()
{
    const sql::DayRange days{ui->mntvw_From->selectedDate(), ui->mntvw_To->selectedDate()};
    const auto period =
        sql::TurnoverPeriod(chosenOption({ui->opt_Day, ui->opt_Week, ui->opt_Month}));
    // Refused before any connection is made.
    QString problem = sql::turnoverChartProblem(days, period);
    sql::TurnoverChart chart;
    if (problem.isEmpty()) {
        if (!db::runConnectionCycle(
                [&](db::OdbcConnection &c) { chart = sql::turnoverChart(c, days, period); }))
            return;
        problem = chart.problem;
    }
    if (!problem.isEmpty()) {
        M::MsgBox(problem);
        return;
    }
    draw({std::move(chart.bars), period, days});
}

void Frm_QueryTurnoverChart::draw(reports::TurnoverPicture picture)
{
    m_picture = std::move(picture);
    QChart *previous = ui->cht_Turnover->chart();
    ui->cht_Turnover->setChart(reports::makeTurnoverChart(*m_picture));
    delete previous;
    m_chosenBar = -1;
    QBarSet *gross = grossBars(ui->cht_Turnover->chart());
    connect(gross, &QBarSet::hovered, this, [this](bool over, int index) {
        if (over)
            chooseBar(index);
    });
    connect(gross, &QBarSet::clicked, this, [this](int index) {
        ui->cht_Turnover->setFocus();
        chooseBar(index);
    });
    showChartFocus(ui->cht_Turnover->hasFocus());
    ui->lbl_Bar->setText(BarHint);
    ui->cmd_Export->setEnabled(true);
    ui->cmd_Print->setEnabled(true);
}

void Frm_QueryTurnoverChart::chooseBar(int index)
{
    QBarSet *gross = grossBars(ui->cht_Turnover->chart());
    if (!gross || !m_picture || index < 0 || index >= int(m_picture->bars.size()))
        return;
    gross->deselectAllBars();
    gross->selectBar(index);
    m_chosenBar = index;
    ui->lbl_Bar->setText(reports::barText(m_picture->bars[size_t(index)], m_picture->period));
}

void Frm_QueryTurnoverChart::showChartFocus(bool focused)
{
    // A chart view draws no focus frame of its own: the chart's outline
    // tells the operator that the arrows now choose bars.
    if (QChart *chart = ui->cht_Turnover->chart())
        chart->setBackgroundPen(focused ? QPen(palette().color(QPalette::Highlight), 2)
                                        : QPen(Qt::NoPen));
}

bool Frm_QueryTurnoverChart::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->cht_Turnover
        && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        showChartFocus(event->type() == QEvent::FocusIn);
    if (watched == ui->cht_Turnover && event->type() == QEvent::KeyPress && m_picture) {
        const int last = int(m_picture->bars.size()) - 1;
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Right:
            chooseBar(std::min(m_chosenBar + 1, last));
            return true;
        case Qt::Key_Left:
            chooseBar(m_chosenBar < 0 ? last : std::max(m_chosenBar - 1, 0));
            return true;
        case Qt::Key_Home:
            chooseBar(0);
            return true;
        case Qt::Key_End:
            chooseBar(last);
            return true;
        default:
            break;
        }
    }
    return ReportForm::eventFilter(watched, event);
}

void Frm_QueryTurnoverChart::cmd_Export_Click()
{
    if (!m_picture)
        return M::Beep();
    exportFile(QStringLiteral("Chart"), m_picture->title(), {ExportFormat::Png, ExportFormat::Pdf},
               this, [this](const QString &path, ExportFormat format) {
                   return reports::writeTurnoverChart(*m_picture, path, format);
               });
}

void Frm_QueryTurnoverChart::cmd_Print_Click()
{
    if (!m_picture)
        return M::Beep();
    reports::printTurnoverChart(*m_picture, this);
}

void Frm_QueryTurnoverChart::cmd_Close_Click()
{
    Unload();
}
