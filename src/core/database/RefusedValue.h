#pragma once
// A value the server would not take. SQLSTATE class 22 (a data exception:
// too long, out of range, no such date) and class 23 (a constraint the
// record breaks) are about the values sent, not about the connection: the
// operator can put them right, so the window stays with its input and says
// which value it was. Every other failure still takes the connection
// cycle's failure path.

#include "core/database/Odbc.h"

#include <functional>
#include <optional>

namespace kestrel::db {

struct Refusal {
    QString sqlState;
    QString column; // the column (or CHECK constraint) the server's text names, or empty
};

// Runs work. A refused value comes back as a Refusal (the server's text goes
// to the log, never to the screen); any other failure passes on.
std::optional<Refusal> refusalOf(const std::function<void()> &work);

// "Row 3, Description: the database refused "Sugarc"! Nothing was saved!!!"
QString refusedValueMessage(const QString &where, const QString &value);
// "The database refused the line Sugar (ID 3)! Nothing was saved!!!", where
// the server named no column.
QString refusedRecordMessage(const QString &what);

} // namespace kestrel::db
