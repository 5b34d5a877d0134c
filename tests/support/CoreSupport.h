#pragma once
// Fixtures every Kestrel test may use, windows or not: the test database
// that scripts/test starts, a recorder standing in for message boxes and the
// beep, the connection status trail, and a scratch working directory.

#include "core/database/Odbc.h"
#include "core/shared/mdl_Variables_Functions.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

// Runs a helper that checks with QVERIFY or QCOMPARE, and ends the test at
// once when the helper failed, as a check written in the test itself would.
#define KESTREL_CHECK(call)                                                                        \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace kestrel::test {

// The eight connection parameters of the test database, from the
// environment scripts/test sets. Fails the running test when they are missing.
QStringList testParams();
QString testConnectionString();

// Points Kestrel at the test database.
void useTestDatabase();

// Drops every table of the test database (or of the one connectionString
// names) and creates the four tables anew.
void resetTables(const QString &connectionString = testConnectionString());
// Drops every table, leaving an empty database.
void dropAllTables(const QString &connectionString = testConnectionString());

// Statements the tests send themselves, on a connection of their own to the
// test database, or to the one connectionString names.
void exec(const QString &sql, const QString &connectionString = testConnectionString());
db::ResultSet query(const QString &sql, const QString &connectionString = testConnectionString());
// The first field of the first row, or a null value.
db::Value scalar(const QString &sql, const QString &connectionString = testConnectionString());
QStringList tableNames();
// The IDs of a table in order, joined by "|".
QString idsIn(const QString &table);

// Another till's open transaction on the database connectionString names,
// holding the rows a locking statement read until release() is called (from
// any thread) or it goes.
class HeldRows {
public:
    HeldRows(const QString &connectionString, const QString &lockingSelect);
    void release() { m_transaction.reset(); }

private:
    db::OdbcConnection m_connection;
    std::optional<db::Transaction> m_transaction;
};

// Records every message and beep while it lives; answers Yes/No questions
// from a script (Yes when the script is empty). The service it replaced comes
// back when it goes.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    std::vector<mdl_Variables_Functions::Message> messages;
    int beeps = 0;
    std::deque<mdl_Variables_Functions::MsgAnswer> answers;

    QStringList texts() const;
    void clear();

private:
    mdl_Variables_Functions::MessageService m_previous;
};

// Every connection status set while it lives, in order.
struct StatusTrail {
    QStringList seen;
    StatusTrail();
    ~StatusTrail();
};

// Makes a fresh temporary directory the working directory while it lives.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace kestrel::test
