#include "shell/Frm_Help.h"
#include "ui_Frm_Help.h"

#include "core/app/WorkingFolder.h"

#include <QProcessEnvironment>
#include <QUrl>

namespace {

const QString ManualFile = QStringLiteral("manual.html");

} // namespace

Frm_Help::Frm_Help(QWidget *parent) : KForm(parent), ui(new Ui::Frm_Help)
{
    ui->setupUi(this);
    connect(ui->cmd_Close, &QPushButton::clicked, this, &KForm::Unload);
    answerEscapeWith(ui->cmd_Close);
}

Frm_Help::~Frm_Help()
{
    delete ui;
}

void Frm_Help::Form_Load()
{
    using namespace kestrel::app;
    const QString path =
        findInstalledFile(ManualFile, installedDataDirs(QProcessEnvironment::systemEnvironment()));
    if (path.isEmpty()) {
        ui->txt_Manual->setPlainText(
            QStringLiteral("The manual (%1) is not installed with this Kestrel.").arg(ManualFile));
        return;
    }
    ui->txt_Manual->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    ui->txt_Manual->setFocus();
}

void Frm_Help::showTopic(const QString &topic)
{
    if (topic.isEmpty() || topic == QLatin1String(metaObject()->className()))
        return;
    // An anchor the manual lacks leaves the view where it is: at the top.
    ui->txt_Manual->scrollToAnchor(topic);
}
