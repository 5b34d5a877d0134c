#pragma once
// State and routines that the whole of Kestrel shares for one run: the
// connection string, the message and connection-status services, the numeric
// key filter, the next-ID lookup and (in ResultContract.h) the requests of the
// result windows. Nothing here knows of windows: the user interface installs
// the message boxes and the beep at start-up, and shows the status it is told.

#include "core/shared/ResultContract.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kestrel::db {
class OdbcConnection;
}

namespace mdl_Variables_Functions {

// ---- connection string ---------------------------------------------------

// The string every connection cycle hands to the ODBC layer. Empty until the
// main window has loaded.
extern QString ConnString;

// Builds the connection string from the eight parameters in file order
// (DSN, description, database, server, user, password, port, statement).
// Missing parameters count as empty.
QString BuildConnectionString(const QStringList &params);

// ---- messages --------------------------------------------------------------

// The application's title, shown on message boxes that have none of their own.
inline const QString AppTitle = QStringLiteral("Kestrel");

enum class MsgButtons { OK, YesNo };
enum class MsgIcon { None, Critical, Information };
enum class MsgAnswer { OK, Yes, No };

struct Message {
    QString text;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    QString title;
    // Under the text, for messages that can say more: a one-line hint at
    // what to do, and details the operator may open (the cause, the log).
    QString hint;
    QString details;
};

// Shows a message through the installed service and returns its answer. An
// empty title means the application's title. With no service installed the
// text goes to standard error and a question is answered No, so nothing
// happens that nobody agreed to.
MsgAnswer MsgBox(const QString &text, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None, const QString &title = QString());
MsgAnswer MsgBox(Message message);

// The system beep, through the installed service.
void Beep();

// Who shows messages and beeps: the message boxes of the user interface, or
// a test's recorder.
struct MessageService {
    std::function<MsgAnswer(const Message &)> onMessage;
    std::function<void()> onBeep;
};
// Installs service and returns the one it replaces, so that a test can put
// the previous one back.
MessageService SetMessageService(MessageService service);

// ---- connection status -----------------------------------------------------

inline const QString StatIdle = QStringLiteral("Connection Status: Idle");
inline const QString StatConnecting = QStringLiteral("Connection Status: Connecting...");
inline const QString StatConnected = QStringLiteral("Connection Status: Connected");
inline const QString StatError = QStringLiteral("Connection Status: Error occured!!!");

void SetConnStat(const QString &text);
QString ConnStat();
// The main window listens here to show the status in its panel.
void SetConnStatListener(std::function<void(const QString &)> listener);

// ---- key filter ------------------------------------------------------------

constexpr int KeyEnter = 13;
constexpr int KeyBackspace = 8;

// The filter of every numeric text box: returns the key to let through, 0 to
// discard it. Digits and Backspace pass, the comma only with allowComma, Enter
// is discarded silently, anything else is discarded with a beep.
int FilterNumericKey(bool allowComma, int &keyAscii);

// ---- next ID ---------------------------------------------------------------

// The ID a new record of tableName is expected to get: the highest ID plus
// one, or further on where rows rolled back used IDs up; 1 for a new table,
// 0 after a database failure (which has already been reported through the
// connection cycle).
qint64 GetNextID(const QString &tableName);
// The same on a connection already open; throws on a database failure.
qint64 NextIdOn(kestrel::db::OdbcConnection &connection, const QString &tableName);

} // namespace mdl_Variables_Functions
