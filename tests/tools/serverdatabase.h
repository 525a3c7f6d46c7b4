// A database of its own on the throwaway test server (scripts/test starts one and names it in
// QUILLMART_TEST_SERVER) for one test, dropped at its end; and statements run straight on
// libpq, as a till would run them.
#pragma once

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <ostream>

// Texts in the failures of these tests, as text.
void PrintTo(const QString &text, std::ostream *out);

// The test server's connection string with another database or user put in.
QString serverConninfo(const QString &database, const QString &user = QString());

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // This test's database, as the server's superuser sees it.
    QString conninfo(const QString &user = QString()) const {
        return serverConninfo(database_, user);
    }
    // A login role, member of a group role (the tills' unless named), removed with the
    // database.
    QString makeTill(const QString &suffix, const QString &group = QString());
    // A login role made with these options ("LOGIN IN ROLE ..."), removed with the database.
    QString makeLogin(const QString &suffix, const QString &options);
    const QString &database() const { return database_; }

private:
    QString database_;
    quint32 unique_ = 0;
    QStringList roles_;
};

// An open connection that closes itself.
class Link {
public:
    explicit Link(const QString &conninfo);
    ~Link() { PQfinish(conn_); }
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;
    bool ok() const { return PQstatus(conn_) == CONNECTION_OK; }
    // Runs a statement with text parameters; the SQLSTATE of its failure, or "" on success.
    QString run(const QString &sql, const QStringList &params = {});
    // Runs a statement: its first value (NULL as "<null>"), or the SQLSTATE of its failure.
    QString answer(const QString &sql);
    // The values of the statement's rows, one text per row (columns joined by '|', NULL as
    // "<null>"); ADD_FAILURE when the statement fails.
    QStringList rows(const QString &sql, const QStringList &params = {});

private:
    PGconn *conn_;
};
