#include "widgets/LoadProgress.h"

#include "widgets/FormHost.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace kestrel {

LoadProgress *LoadProgress::inStatusBar()
{
    FormHost *host = FormHost::instance();
    QStatusBar *bar = host ? host->formStatusBar() : nullptr;
    if (!bar)
        return nullptr;
    auto *progress = new LoadProgress;
    bar->addWidget(progress);
    progress->show();
    return progress;
}

LoadProgress::LoadProgress(QWidget *parent)
    : QWidget(parent), pgb_Loading(new QProgressBar(this)), lbl_Rows(new QLabel(this))
{
    setObjectName(QStringLiteral("LoadProgress"));
    pgb_Loading->setObjectName(QStringLiteral("pgb_Loading"));
    lbl_Rows->setObjectName(QStringLiteral("lbl_Rows"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(lbl_Rows);
    layout->addWidget(pgb_Loading);
    // The total is unknown until the last row: the bar shows that work goes on.
    pgb_Loading->setRange(0, 0);
    pgb_Loading->setTextVisible(false);
    pgb_Loading->setFixedWidth(120);
    pgb_Loading->setMaximumHeight(lbl_Rows->sizeHint().height());
    // Wide enough for seven-digit counts, so the bar does not move as they grow.
    lbl_Rows->setMinimumWidth(lbl_Rows->fontMetrics().horizontalAdvance(stoppedText(9999999)));
}

QString LoadProgress::loadingText(qint64 rows)
{
    return QStringLiteral("Loading rows: %1").arg(rows);
}

QString LoadProgress::stoppedText(qint64 rows)
{
    return QStringLiteral("Loading stopped after %1 rows").arg(rows);
}

void LoadProgress::showLoading(qint64 rows)
{
    lbl_Rows->setText(loadingText(rows));
    pgb_Loading->show();
}

void LoadProgress::showStopped(qint64 rows)
{
    lbl_Rows->setText(stoppedText(rows));
    pgb_Loading->hide();
}

} // namespace kestrel
