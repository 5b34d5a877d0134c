#pragma once
// Fixtures shared by Kestrel's tests: the test database that scripts/test
// starts, a recorder standing in for message boxes and the beep, and a
// scratch working directory for the parameter files.

#include "MDIfrm_main.h"
#include "Odbc.h"
#include "mdl_Variables_Functions.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>

namespace kestrel::test {

// The eight connection parameters of the test database, from the
// environment scripts/test sets. Fails the running test when they are missing.
QStringList testParams();
QString testConnectionString();

// Points Kestrel at the test database.
void useTestDatabase();

// Drops every table of the test database and creates the four tables anew.
void resetTables();
// Drops every table, leaving an empty database.
void dropAllTables();

void exec(const QString &sql);
db::ResultSet query(const QString &sql);
// The first field of the first row, or a null value.
db::Value scalar(const QString &sql);
QStringList tableNames();

// Records every message and beep while it lives; answers Yes/No questions
// from a script (Yes when the script is empty).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();

    std::vector<mdl_Variables_Functions::Message> messages;
    int beeps = 0;
    std::deque<mdl_Variables_Functions::MsgAnswer> answers;

    QStringList texts() const;
    void clear();
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

// Kestrel as the operator starts it: a scratch working folder whose
// ConnParam.ini names the test database, a message recorder, the status at
// Idle, and the main window shown.
struct RunningMainWindow {
    RunningMainWindow();
    // Shows the main window; false when it never became active.
    bool show();

    ScratchDir dir;
    MessageRecorder messages;
    std::unique_ptr<MDIfrm_main> main;
};

} // namespace kestrel::test
