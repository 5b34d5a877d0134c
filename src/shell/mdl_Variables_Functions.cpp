#include "mdl_Variables_Functions.h"

#include "ConnectionCycle.h"
#include "SqlLiteral.h"

#include <QApplication>
#include <QMessageBox>

namespace mdl_Variables_Functions {

QString ConnString;

namespace {

std::function<MsgAnswer(const Message &)> messageHandler;
std::function<void()> beepHandler;
std::function<void(const QString &)> connStatListener;
QString connStat = StatIdle;

// A value as the driver should read it: braced when it holds a character that
// would end or open a pair early.
QString connectionValue(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{'))
        && !value.contains(QLatin1Char('}')))
        return value;
    QString escaped = value;
    escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

} // namespace

QString BuildConnectionString(const QStringList &params)
{
    static const char *const keys[] = {"DSN=", "DESC=", "DATABASE=", "SERVER=",
                                       "UID=", "PASSWORD=", "PORT="};
    QString result;
    for (int i = 0; i < 7; ++i)
        result += QLatin1String(keys[i]) + connectionValue(params.value(i)) + QLatin1Char(';');
    result += QStringLiteral("OPTION=3;");
    result += QStringLiteral("STMT=") + connectionValue(params.value(7)) + QLatin1Char(';');
    return result;
}

MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &title)
{
    Message message{text, buttons, icon, title.isEmpty() ? AppTitle : title};
    if (messageHandler)
        return messageHandler(message);

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.title);
    box.setText(message.text);
    switch (icon) {
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::OK;
}

void Beep()
{
    if (beepHandler) {
        beepHandler();
        return;
    }
    if (!messageHandler)
        QApplication::beep();
}

void SetMessageHandlers(std::function<MsgAnswer(const Message &)> onMessage,
                        std::function<void()> onBeep)
{
    messageHandler = std::move(onMessage);
    beepHandler = std::move(onBeep);
}

void SetConnStat(const QString &text)
{
    connStat = text;
    if (connStatListener)
        connStatListener(text);
}

QString ConnStat()
{
    return connStat;
}

void SetConnStatListener(std::function<void(const QString &)> listener)
{
    connStatListener = std::move(listener);
}

int FilterNumericKey(bool allowComma, int &keyAscii)
{
    if (keyAscii == KeyEnter) {
        keyAscii = 0;
        return 0;
    }
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    if (digit || keyAscii == KeyBackspace || (allowComma && keyAscii == ','))
        return keyAscii;
    Beep();
    keyAscii = 0;
    return 0;
}

qint64 GetNextID(const QString &tableName)
{
    qint64 next = 0;
    const bool ok = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
        // MAX over the key is answered from the index: its cost does not
        // grow with the table.
        const auto result = c.query(QStringLiteral("SELECT MAX(ID) FROM ")
                                    + kestrel::db::sqlIdentifier(tableName));
        const auto &value = result.rows.empty() ? std::nullopt : result.rows.front().front();
        if (!value) {
            next = 1;
            return;
        }
        bool converted = false;
        const qint64 highest = value->toLongLong(&converted);
        if (!converted)
            throw std::runtime_error("ID is not a number");
        next = highest + 1;
    });
    return ok ? next : 0;
}

} // namespace mdl_Variables_Functions
