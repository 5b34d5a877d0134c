#include "support/CoreSupport.h"

#include "core/statements/Schema.h"

#include <QDir>
#include <QTest>
#include <QtGlobal>

namespace M = mdl_Variables_Functions;

namespace kestrel::test {

QStringList testParams()
{
    const QByteArray port = qgetenv("KESTREL_TEST_PORT");
    if (port.isEmpty()) {
        qFatal("No test database: KESTREL_TEST_PORT is not set. Run the tests through "
               "scripts/test, which starts one.");
    }
    return {QString::fromUtf8(qgetenv("KESTREL_TEST_DSN")),
            QStringLiteral("Kestrel test database"),
            QString::fromUtf8(qgetenv("KESTREL_TEST_DB")),
            QStringLiteral("127.0.0.1"),
            QString::fromUtf8(qgetenv("KESTREL_TEST_USER")),
            QString::fromUtf8(qgetenv("KESTREL_TEST_PASSWORD")),
            QString::fromUtf8(port),
            QString()};
}

QString testConnectionString()
{
    return M::BuildConnectionString(testParams());
}

void useTestDatabase()
{
    M::ConnString = testConnectionString();
}

void exec(const QString &sql, const QString &connectionString)
{
    db::OdbcConnection connection(connectionString);
    connection.execute(db::Statement(sql));
}

db::ResultSet query(const QString &sql, const QString &connectionString)
{
    db::OdbcConnection connection(connectionString);
    return connection.query(db::Statement(sql));
}

db::Value scalar(const QString &sql, const QString &connectionString)
{
    const db::ResultSet result = query(sql, connectionString);
    if (result.rows.empty() || result.rows.front().empty())
        return std::nullopt;
    return result.rows.front().front();
}

QStringList tableNames()
{
    QStringList names;
    for (const db::Row &row : query(QStringLiteral("SHOW TABLES")).rows)
        names.append(row.front().value_or(QString()));
    names.sort();
    return names;
}

QString idsIn(const QString &table)
{
    return scalar("SELECT GROUP_CONCAT(ID ORDER BY ID SEPARATOR '|') FROM " + table)
        .value_or(QString());
}

void dropAllTables(const QString &connectionString)
{
    db::OdbcConnection connection(connectionString);
    for (const db::Row &row : connection.query(db::Statement(QStringLiteral("SHOW TABLES"))).rows)
        connection.execute(
            db::Statement(QStringLiteral("DROP TABLE `%1`").arg(row.front().value_or(QString()))));
}

void resetTables(const QString &connectionString)
{
    dropAllTables(connectionString);
    db::OdbcConnection connection(connectionString);
    sql::createTables(connection);
}

HeldRows::HeldRows(const QString &connectionString, const QString &lockingSelect)
    : m_connection(connectionString)
{
    m_transaction.emplace(m_connection);
    m_connection.query(db::Statement(lockingSelect));
}

MessageRecorder::MessageRecorder()
{
    m_previous = M::SetMessageService({[this](const M::Message &message) {
                                           messages.push_back(message);
                                           if (message.buttons == M::MsgButtons::OK)
                                               return M::MsgAnswer::OK;
                                           if (answers.empty())
                                               return M::MsgAnswer::Yes;
                                           const M::MsgAnswer answer = answers.front();
                                           answers.pop_front();
                                           return answer;
                                       },
                                       [this] { ++beeps; }});
}

MessageRecorder::~MessageRecorder()
{
    M::SetMessageService(m_previous);
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const auto &m : messages)
        out.append(m.text);
    return out;
}

void MessageRecorder::clear()
{
    messages.clear();
    beeps = 0;
}

ScratchDir::ScratchDir() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

ScratchDir::~ScratchDir()
{
    QDir::setCurrent(m_previous);
}

StatusTrail::StatusTrail()
{
    M::SetConnStatListener([this](const QString &s) { seen.append(s); });
}

StatusTrail::~StatusTrail()
{
    M::SetConnStatListener({});
}

} // namespace kestrel::test
