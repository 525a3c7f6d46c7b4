// Per-test databases on the throwaway test server.
#include "serverdatabase.h"

#include "serverroles.h"

#include <QRandomGenerator>
#include <vector>

void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

QString serverBase() {
    return qEnvironmentVariable("QUILLMART_TEST_SERVER");
}

} // namespace

QString serverConninfo(const QString &database, const QString &user) {
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(serverBase().toUtf8().constData(), &error);
    if (!options) {
        const QString why = error ? QString::fromUtf8(error) : QString("out of memory");
        PQfreemem(error);
        ADD_FAILURE() << "QUILLMART_TEST_SERVER is not a connection string: " << why.toStdString();
        return QString();
    }
    QStringList parts;
    for (PQconninfoOption *option = options; option->keyword; ++option) {
        QString value = QString::fromUtf8(option->val);
        const QString keyword = QString::fromUtf8(option->keyword);
        if (keyword == "dbname")
            value = database;
        else if (keyword == "user" && !user.isEmpty())
            value = user;
        if (!value.isEmpty())
            parts << QString("%1='%2'").arg(keyword,
                                            value.replace('\\', "\\\\").replace('\'', "\\'"));
    }
    PQconninfoFree(options);
    return parts.join(' ');
}

void ServerTest::SetUp() {
    if (serverBase().isEmpty())
        GTEST_FAIL() << "QUILLMART_TEST_SERVER is not set. These tests need a PostgreSQL 15 "
                        "server: run them through scripts/test, which starts a throwaway one, or "
                        "start one with scripts/testserver start and export the connection "
                        "string it prints as QUILLMART_TEST_SERVER.";
    unique_ = QRandomGenerator::global()->generate();
    database_ = QString("qmtest_%1_%2")
                    .arg(::testing::UnitTest::GetInstance()->current_test_info()->name())
                    .arg(unique_)
                    .toLower()
                    .left(60);
    Link server(serverConninfo("postgres"));
    ASSERT_TRUE(server.ok()) << "cannot reach the test server " << serverBase().toStdString();
    ASSERT_EQ(server.run(QString("CREATE DATABASE \"%1\"").arg(database_)), "");
}

void ServerTest::TearDown() {
    if (database_.isEmpty())
        return;
    Link server(serverConninfo("postgres"));
    EXPECT_EQ(server.run(QString("DROP DATABASE \"%1\" WITH (FORCE)").arg(database_)), "");
    for (const QString &role : roles_)
        EXPECT_EQ(server.run(QString("DROP ROLE \"%1\"").arg(role)), "");
}

QString ServerTest::makeTill(const QString &suffix, const QString &group) {
    return makeLogin(suffix,
                     QString("LOGIN IN ROLE %1").arg(group.isEmpty() ? serverroles::kTill : group));
}

QString ServerTest::makeLogin(const QString &suffix, const QString &options) {
    // Short enough that the suffix always tells two logins of one test apart.
    const QString role = QString("qmlogin_%1_%2").arg(unique_).arg(suffix);
    Link server(conninfo());
    EXPECT_EQ(server.run(QString("CREATE ROLE \"%1\" %2").arg(role, options)), "");
    roles_ << role;
    return role;
}

Link::Link(const QString &conninfo) : conn_(PQconnectdb(conninfo.toUtf8().constData())) {
    if (!ok())
        ADD_FAILURE() << "cannot connect to " << conninfo.toStdString() << ": "
                      << PQerrorMessage(conn_);
}

namespace {

PGresult *execute(PGconn *conn, const QString &sql, const QStringList &params) {
    std::vector<QByteArray> texts;
    std::vector<const char *> values;
    texts.reserve(params.size());
    for (const QString &param : params) {
        texts.push_back(param.toUtf8());
        values.push_back(param.isNull() ? nullptr : texts.back().constData());
    }
    return PQexecParams(conn, sql.toUtf8().constData(), int(values.size()), nullptr, values.data(),
                        nullptr, nullptr, 0);
}

bool succeeded(PGresult *result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

} // namespace

QString Link::run(const QString &sql, const QStringList &params) {
    PGresult *result = execute(conn_, sql, params);
    QString state;
    if (!succeeded(result)) {
        const char *code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        state = code ? QString::fromUtf8(code) : QString("?");
    }
    PQclear(result);
    return state;
}

QString Link::answer(const QString &sql) {
    PGresult *result = execute(conn_, sql, {});
    QString value;
    if (!succeeded(result)) {
        const char *code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        value = code ? QString::fromUtf8(code) : QString("?");
    } else if (PQntuples(result) > 0 && PQnfields(result) > 0) {
        value = PQgetisnull(result, 0, 0) ? QString("<null>")
                                          : QString::fromUtf8(PQgetvalue(result, 0, 0));
    }
    PQclear(result);
    return value;
}

QStringList Link::rows(const QString &sql, const QStringList &params) {
    PGresult *result = execute(conn_, sql, params);
    QStringList rows;
    if (!succeeded(result)) {
        ADD_FAILURE() << sql.toStdString() << ": " << PQresultErrorMessage(result);
    } else {
        for (int row = 0; row < PQntuples(result); ++row) {
            QStringList values;
            for (int column = 0; column < PQnfields(result); ++column)
                values << (PQgetisnull(result, row, column)
                               ? QString("<null>")
                               : QString::fromUtf8(PQgetvalue(result, row, column)));
            rows << values.join('|');
        }
    }
    PQclear(result);
    return rows;
}
