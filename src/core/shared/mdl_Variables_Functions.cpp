#include "core/shared/mdl_Variables_Functions.h"

#include "core/database/ConnectionCycle.h"
#include "core/database/ConnectionString.h"
#include "core/statements/Records.h"

#include <cstdio>

namespace mdl_Variables_Functions {

QString ConnString;

namespace {

MessageService messageService;
std::function<void(const QString &)> connStatListener;
QString connStat = StatIdle;

} // namespace

QString BuildConnectionString(const QStringList &params)
{
    static const char *const keys[] = {
        "DSN=", "DESC=", "DATABASE=", "SERVER=", "UID=", "PASSWORD=", "PORT="};
    QString result;
    for (int i = 0; i < 7; ++i)
        result += QLatin1String(keys[i]) + kestrel::db::connectionValue(params.value(i))
                  + QLatin1Char(';');
    result += QStringLiteral("OPTION=3;");
    result +=
        QStringLiteral("STMT=") + kestrel::db::connectionValue(params.value(7)) + QLatin1Char(';');
    return result;
}

MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &title)
{
    return MsgBox(Message{text, buttons, icon, title, {}, {}});
}

MsgAnswer MsgBox(Message message)
{
    if (message.title.isEmpty())
        message.title = AppTitle;
    if (messageService.onMessage)
        return messageService.onMessage(message);
    std::fprintf(stderr, "kestrel: %s: %s\n", qPrintable(message.title), qPrintable(message.text));
    if (!message.hint.isEmpty())
        std::fprintf(stderr, "kestrel: %s\n", qPrintable(message.hint));
    return message.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::OK;
}

void Beep()
{
    if (messageService.onBeep)
        messageService.onBeep();
}

MessageService SetMessageService(MessageService service)
{
    std::swap(messageService, service);
    return service;
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

qint64 NextIdOn(kestrel::db::OdbcConnection &connection, const QString &tableName)
{
    const auto result = connection.query(kestrel::sql::nextId(tableName));
    const auto &value = result.rows.empty() ? std::nullopt : result.rows.front().front();
    bool converted = false;
    const qint64 next = value ? value->toLongLong(&converted) : 0;
    if (!converted)
        throw std::runtime_error("ID is not a number");
    return next;
}

qint64 GetNextID(const QString &tableName)
{
    qint64 next = 0;
    const bool ok = kestrel::db::runConnectionCycle(
        [&](kestrel::db::OdbcConnection &c) { next = NextIdOn(c, tableName); });
    return ok ? next : 0;
}

} // namespace mdl_Variables_Functions
