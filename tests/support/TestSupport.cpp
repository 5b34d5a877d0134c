#include "TestSupport.h"

#include "ParamFile.h"
#include "Schema.h"

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

void exec(const QString &sql)
{
    db::OdbcConnection connection(testConnectionString());
    connection.execute(sql);
}

db::ResultSet query(const QString &sql)
{
    db::OdbcConnection connection(testConnectionString());
    return connection.query(sql);
}

db::Value scalar(const QString &sql)
{
    const db::ResultSet result = query(sql);
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

void dropAllTables()
{
    db::OdbcConnection connection(testConnectionString());
    for (const db::Row &row : connection.query(QStringLiteral("SHOW TABLES")).rows)
        connection.execute(QStringLiteral("DROP TABLE `%1`").arg(row.front().value_or(QString())));
}

void resetTables()
{
    dropAllTables();
    db::OdbcConnection connection(testConnectionString());
    for (const db::TableStatement &table : db::schemaStatements())
        connection.execute(table.statement);
}

MessageRecorder::MessageRecorder()
{
    M::SetMessageHandlers(
        [this](const M::Message &message) {
            messages.push_back(message);
            if (message.buttons == M::MsgButtons::OK)
                return M::MsgAnswer::OK;
            if (answers.empty())
                return M::MsgAnswer::Yes;
            const M::MsgAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        },
        [this] { ++beeps; });
}

MessageRecorder::~MessageRecorder()
{
    M::SetMessageHandlers({}, {});
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

RunningMainWindow::RunningMainWindow()
{
    if (!db::writeParamFile(db::ParamFileName, testParams()))
        qFatal("cannot write the test's ConnParam.ini");
    M::SetConnStat(M::StatIdle);
    main = std::make_unique<MDIfrm_main>();
}

bool RunningMainWindow::show()
{
    main->resize(1000, 700);
    main->show();
    return QTest::qWaitForWindowActive(main.get());
}

} // namespace kestrel::test
