#include "core/database/Odbc.h"

#include "core/database/ConnectionString.h"
#include "core/database/ConnectionTarget.h"
#include "core/database/OdbcDetail.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace kestrel::db {

using detail::check;
using detail::diagnostics;

OdbcError::OdbcError(const QString &sqlState, const QString &message, int nativeError)
    : std::runtime_error((sqlState + QStringLiteral(": ") + message).toStdString()),
      m_sqlState(sqlState), m_message(message), m_nativeError(nativeError)
{
}

int columnIndex(const std::vector<Column> &columns, const QString &name)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int ResultSet::indexOf(const QString &name) const
{
    return columnIndex(columns, name);
}

namespace detail {

QString diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, QString *sqlState, int *nativeError)
{
    QString text;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLCHAR message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, i, state, &native, message, sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        if (i == 1 && sqlState)
            *sqlState = QString::fromLatin1(reinterpret_cast<const char *>(state));
        if (i == 1 && nativeError)
            *nativeError = int(native);
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromUtf8(reinterpret_cast<const char *>(message));
    }
    return text;
}

void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char *what)
{
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return;
    QString state = QStringLiteral("HY000");
    int native = 0;
    QString text = handle ? diagnostics(handleType, handle, &state, &native) : QString();
    if (text.isEmpty())
        text = QString::fromLatin1(what) + QStringLiteral(" failed");
    throw OdbcError(state, text, native);
}

} // namespace detail

namespace {

// The process-wide ODBC environment, made on first use.
SQLHENV environment()
{
    static SQLHENV env = [] {
        SQLHENV handle = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
            throw OdbcError(QStringLiteral("HY001"), QStringLiteral("no ODBC environment"));
        SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return handle;
    }();
    return env;
}

struct StatementDeleter {
    void operator()(void *stmt) const
    {
        SQLFreeStmt(stmt, SQL_CLOSE);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    }
};
using StatementHandle = std::unique_ptr<void, StatementDeleter>;

// The buffers of a statement's bound values; they must stay where they are
// until the statement has run.
struct BoundValues {
    std::vector<QByteArray> texts;
    std::vector<SQL_DATE_STRUCT> dates;
    std::vector<SQLBIGINT> integers;
    std::vector<SQLLEN> indicators;

    explicit BoundValues(size_t count)
    {
        // Reserved up front: binding hands out addresses into these.
        texts.reserve(count);
        dates.reserve(count);
        integers.reserve(count);
        indicators.reserve(count);
    }
};

void bindValue(SQLHSTMT stmt, SQLUSMALLINT number, const SqlValue &value, BoundValues &bound)
{
    SQLLEN &indicator = bound.indicators.emplace_back(0);
    SQLRETURN rc = SQL_SUCCESS;
    switch (value.kind()) {
    case SqlValue::Kind::Null:
        indicator = SQL_NULL_DATA;
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr,
                              0, &indicator);
        break;
    case SqlValue::Kind::Integer: {
        SQLBIGINT &integer = bound.integers.emplace_back(value.integerValue());
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                              &integer, 0, &indicator);
        break;
    }
    case SqlValue::Kind::Date: {
        const QDate &d = value.dateValue();
        SQL_DATE_STRUCT &date = bound.dates.emplace_back(
            SQL_DATE_STRUCT{SQLSMALLINT(d.year()), SQLUSMALLINT(d.month()), SQLUSMALLINT(d.day())});
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0,
                              &date, 0, &indicator);
        break;
    }
    case SqlValue::Kind::Decimal:
    case SqlValue::Kind::Text: {
        QByteArray &text = bound.texts.emplace_back(value.string().toUtf8());
        indicator = SQLLEN(text.size());
        const bool decimal = value.kind() == SqlValue::Kind::Decimal;
        const qsizetype point = text.indexOf('.');
        const SQLSMALLINT scale = decimal && point >= 0 ? SQLSMALLINT(text.size() - point - 1) : 0;
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR,
                              decimal ? SQL_DECIMAL : SQL_VARCHAR,
                              SQLULEN(std::max<qsizetype>(text.size(), 1)), scale, text.data(),
                              indicator, &indicator);
        break;
    }
    }
    check(rc, SQL_HANDLE_STMT, stmt, "SQLBindParameter");
}

// Runs step and names statement in the failure it raises, if any.
template <class Step> auto forStatement(const Statement &statement, Step &&step)
{
    try {
        return step();
    } catch (OdbcError &e) {
        e.setStatement(statement.sql);
        throw;
    }
}

// Allocates a statement handle, binds the values and runs the text.
StatementHandle runStatementUnnamed(SQLHDBC dbc, const Statement &statement)
{
    SQLHSTMT raw = SQL_NULL_HSTMT;
    check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &raw), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
    StatementHandle stmt(raw);
    BoundValues bound(statement.params.size());
    for (size_t i = 0; i < statement.params.size(); ++i)
        bindValue(raw, SQLUSMALLINT(i + 1), statement.params[i], bound);
    QByteArray text = statement.sql.toUtf8();
    check(SQLExecDirect(raw, reinterpret_cast<SQLCHAR *>(text.data()), SQLINTEGER(text.size())),
          SQL_HANDLE_STMT, raw, "SQLExecDirect");
    // The values have been sent; the handle must not point at the buffers
    // once they are gone.
    SQLFreeStmt(raw, SQL_RESET_PARAMS);
    return stmt;
}

StatementHandle runStatement(SQLHDBC dbc, const Statement &statement)
{
    return forStatement(statement, [&] { return runStatementUnnamed(dbc, statement); });
}

} // namespace

namespace {

Timeouts currentTimeouts;

void setTimeoutAttribute(SQLHDBC dbc, SQLINTEGER attribute, int seconds)
{
    // A driver that cannot keep the value answers with a warning (01S02)
    // and keeps its own; that is no reason to refuse the connection.
    SQLSetConnectAttr(dbc, attribute, reinterpret_cast<SQLPOINTER>(SQLULEN(seconds)),
                      SQL_IS_UINTEGER);
}

// The driver's string with the timeouts, where it names none itself. The
// MariaDB driver takes the login timeout from the string rather than from
// the attribute, and reads with no limit unless told one.
QString withTimeouts(const QString &driverString, const Timeouts &timeouts)
{
    const std::pair<const char *, int> wanted[] = {{"CONN_TIMEOUT", timeouts.loginSeconds},
                                                   {"READ_TIMEOUT", timeouts.readSeconds}};
    const std::vector<ConnectionPair> pairs = parseConnectionString(driverString);
    QString result = driverString;
    if (!result.isEmpty() && !result.endsWith(QLatin1Char(';')))
        result += QLatin1Char(';');
    for (const auto &[key, seconds] : wanted) {
        // A name of its own for the lambda: Clang before 16 cannot capture a
        // structured binding.
        const QLatin1String name(key);
        const bool named = std::any_of(pairs.begin(), pairs.end(), [name](const ConnectionPair &p) {
            return p.key.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!named)
            result += QStringLiteral("%1=%2;").arg(name).arg(seconds);
    }
    return result;
}

} // namespace

Timeouts connectionTimeouts()
{
    return currentTimeouts;
}

void setConnectionTimeouts(const Timeouts &timeouts)
{
    currentTimeouts = timeouts;
}

OdbcConnection::OdbcConnection(const QString &connectionString)
{
    SQLHENV env = environment();
    SQLHDBC dbc = SQL_NULL_HDBC;
    check(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_HANDLE_ENV, env, "SQLAllocHandle");
    m_dbc = dbc;
    setTimeoutAttribute(dbc, SQL_ATTR_LOGIN_TIMEOUT, currentTimeouts.loginSeconds);
    setTimeoutAttribute(dbc, SQL_ATTR_CONNECTION_TIMEOUT, currentTimeouts.loginSeconds);
    const ConnectionTarget target = connectionTarget(connectionString);
    QByteArray text = withTimeouts(target.driverString, currentTimeouts).toUtf8();
    if (text.size() > std::numeric_limits<SQLSMALLINT>::max()) {
        // Its length goes to the driver as a 16-bit number: a longer string
        // would reach it cut short, without the account it names.
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        m_dbc = nullptr;
        throw OdbcError(QStringLiteral("HY090"),
                        QStringLiteral("the connection string is %1 bytes long, more than the "
                                       "ODBC driver takes")
                            .arg(text.size()));
    }
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc =
        SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR *>(text.data()),
                         SQLSMALLINT(text.size()), nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        QString state = QStringLiteral("08001");
        int native = 0;
        const QString message = diagnostics(SQL_HANDLE_DBC, dbc, &state, &native);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        m_dbc = nullptr;
        // unixODBC reports a driver library it cannot load with a warning
        // alone; the failure is the one ODBC names IM003.
        if (state.startsWith(QLatin1String("01")))
            state = QStringLiteral("IM003");
        throw OdbcError(state, message.isEmpty() ? QStringLiteral("cannot connect") : message,
                        native);
    }
    try {
        // The operator's own statements, each as the settings give it.
        for (const QString &statement : startupStatements(target.startupStatement))
            execute(Statement(statement));
    } catch (...) {
        close();
        throw;
    }
}

OdbcConnection::~OdbcConnection()
{
    close();
}

void OdbcConnection::close()
{
    if (!m_dbc)
        return;
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    m_dbc = nullptr;
}

void *OdbcConnection::requireOpen() const
{
    if (!m_dbc)
        throw OdbcError(QStringLiteral("08003"), QStringLiteral("connection is closed"));
    return m_dbc;
}

qint64 OdbcConnection::execute(const Statement &statement)
{
    StatementHandle stmt = runStatement(requireOpen(), statement);
    SQLLEN rows = -1;
    if (!SQL_SUCCEEDED(SQLRowCount(stmt.get(), &rows)))
        rows = -1;
    // Drain every result so that multi-result statements finish on the server.
    while (SQL_SUCCEEDED(SQLMoreResults(stmt.get()))) {
    }
    return qint64(rows);
}

ResultSet OdbcConnection::query(const Statement &statement)
{
    ResultSet result;
    queryEach(
        statement, [&](const std::vector<Column> &columns) { result.columns = columns; },
        [&](const Row &row) { result.rows.push_back(row); });
    return result;
}

void OdbcConnection::queryEach(const Statement &statement,
                               const std::function<void(const std::vector<Column> &)> &onColumns,
                               const std::function<void(const Row &)> &onRow)
{
    StatementHandle stmt = runStatement(requireOpen(), statement);
    const std::vector<Column> columns =
        forStatement(statement, [&] { return detail::describeColumns(stmt.get()); });
    if (onColumns)
        onColumns(columns);
    forStatement(statement, [&] { detail::fetchRows(stmt.get(), columns.size(), onRow); });
}

void OdbcConnection::setAutoCommit(bool on)
{
    SQLHDBC dbc = requireOpen();
    check(
        SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
                          SQL_IS_UINTEGER),
        SQL_HANDLE_DBC, dbc, "SQLSetConnectAttr");
}

void OdbcConnection::commit()
{
    SQLHDBC dbc = requireOpen();
    check(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT), SQL_HANDLE_DBC, dbc, "SQLEndTran");
}

void OdbcConnection::rollback()
{
    SQLHDBC dbc = requireOpen();
    check(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK), SQL_HANDLE_DBC, dbc, "SQLEndTran");
}

Transaction::Transaction(OdbcConnection &connection) : m_connection(connection)
{
    m_connection.setAutoCommit(false);
}

Transaction::~Transaction()
{
    if (m_done || !m_connection.isOpen())
        return;
    // Already failing: a rollback that fails too has nothing to add, and
    // closing the connection discards the transaction anyway.
    try {
        m_connection.rollback();
        m_connection.setAutoCommit(true);
    } catch (const OdbcError &) {
        m_connection.close();
    }
}

void Transaction::commit()
{
    m_connection.commit();
    m_done = true;
    m_connection.setAutoCommit(true);
}

} // namespace kestrel::db
