#include "shell/Frm_About.h"
#include "ui_Frm_About.h"

#include <QPixmap>

Frm_About::Frm_About(QWidget *parent) : KForm(parent), ui(new Ui::Frm_About)
{
    ui->setupUi(this);
    ui->pctr_Logo->setPixmap(QPixmap(QStringLiteral(":/icons/kestrel.png"))
                                 .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    connect(ui->cmd_OK, &QPushButton::clicked, this, &KForm::Unload);
}

Frm_About::~Frm_About()
{
    delete ui;
}
