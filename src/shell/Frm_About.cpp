#include "shell/Frm_About.h"
#include "ui_Frm_About.h"

#include "core/app/CommandLine.h"
#include "core/app/Log.h"

#include <QDir>
#include <QPixmap>

Frm_About::Frm_About(QWidget *parent) : KForm(parent), ui(new Ui::Frm_About)
{
    ui->setupUi(this);
    ui->pctr_Logo->setPixmap(QPixmap(QStringLiteral(":/icons/kestrel.png"))
                                 .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    // The version the build carries, as --version prints it.
    ui->lbl_Info->setText(
        ui->lbl_Info->text().replace(QStringLiteral("<b>Kestrel</b>"),
                                     QStringLiteral("<b>%1</b>").arg(kestrel::app::versionText())));
    // Where to look when a database operation has failed.
    const QString logFile = kestrel::log::file();
    ui->lbl_LogFile->setText(
        logFile.isEmpty() ? QStringLiteral("Log: standard error only")
                          : QStringLiteral("Log: %1").arg(QDir::toNativeSeparators(logFile)));
    connect(ui->cmd_OK, &QPushButton::clicked, this, &KForm::Unload);
}

Frm_About::~Frm_About()
{
    delete ui;
}
