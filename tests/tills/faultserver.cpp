// The fault tests' own cluster: started before the first test, removed after the last.
#include "faultserver.h"

#include "pgsession.h"
#include "shoplocation.h"
#include "shopserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace faultserver {

namespace {

QString clusterDir;
QString clusterSettings; // the superuser's connection string, database "postgres"

// Runs scripts/testserver; its standard output, or a test failure.
QString testserver(const QStringList &args) {
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(QStringLiteral(QM_TESTSERVER_SCRIPT), args);
    if (!script.waitForFinished(120000) || script.exitStatus() != QProcess::NormalExit ||
        script.exitCode() != 0) {
        ADD_FAILURE() << "scripts/testserver " << args.join(' ').toStdString() << " failed";
        return QString();
    }
    return QString::fromUtf8(script.readAllStandardOutput()).trimmed();
}

class OwnCluster : public ::testing::Environment {
public:
    void SetUp() override {
        // The socket lives in the folder: a short path, reachable by the cluster's own user
        // when the tests run as root.
        const QString base = geteuid() == 0 ? QStringLiteral("/tmp") : QDir::tempPath();
        QByteArray pattern = QDir(base).filePath("qmfaults.XXXXXX").toLocal8Bit();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        clusterDir = QString::fromLocal8Bit(pattern);
        clusterSettings = testserver({"start", clusterDir});
        ASSERT_FALSE(clusterSettings.isEmpty()) << "the test's own server did not start";
    }
    void TearDown() override {
        if (!clusterDir.isEmpty())
            testserver({"remove", clusterDir});
    }
};
[[maybe_unused]] ::testing::Environment *const cluster =
    ::testing::AddGlobalTestEnvironment(new OwnCluster);

} // namespace

void control(const QString &command, const QStringList &more) {
    testserver(QStringList{command, clusterDir} + more);
}

void stopImmediately() {
    const QByteArray command = QStringLiteral("'%1' stop '%2' immediate")
                                   .arg(QStringLiteral(QM_TESTSERVER_SCRIPT), clusterDir)
                                   .toLocal8Bit();
    if (std::system(command.constData()) != 0)
        ADD_FAILURE() << "the server did not stop";
}

QString settingsOf(const QString &database, const QString &user) {
    QString settings = clusterSettings;
    settings.replace(QStringLiteral("dbname=postgres"), QStringLiteral("dbname=") + database);
    return settings.replace(QStringLiteral("user=quillmart"), QStringLiteral("user=") + user);
}

QStringList ownerRows(const QString &database, const QString &sql, const QStringList &params) {
    pgtool::Session owner(settingsOf(database));
    const pgtool::Result result = owner.exec(sql, params);
    QStringList rows;
    for (int row = 0; row < result.rows(); ++row) {
        QStringList values;
        for (int column = 0; column < result.columns(); ++column)
            values << (result.isNull(row, column) ? QStringLiteral("<null>")
                                                  : result.text(row, column));
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList tillStates(const QString &database) {
    return ownerRows(database,
                     "SELECT coalesce(state, '') FROM pg_stat_activity WHERE usename = $1 "
                     "AND datname = $2 ORDER BY pid",
                     {kTill, database});
}

void terminateTills(const QString &database) {
    ownerRows(database,
              "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = $1 AND "
              "datname = $2",
              {kTill, database});
    for (QDeadlineTimer gone(10000); !gone.hasExpired() && !tillStates(database).isEmpty();)
        QThread::msleep(20);
}

ServerShop::ServerShop() {
    static int made = 0;
    database_ = QStringLiteral("faults_%1").arg(++made);
    pgtool::Session server(clusterSettings);
    server.exec(QStringLiteral("CREATE DATABASE %1").arg(database_));
    pgtool::Session owner(settingsOf(database_));
    owner.exec("BEGIN");
    shopserver::createSchema(owner, QStringLiteral("en-US"));
    owner.exec(QString::fromUtf8(
        "INSERT INTO titles (isbn, title, \"sale price\", qty, safeqty) VALUES "
        "('9789570000001', '紅樓夢', 350, 100, 3), ('9789570000002', 'Rivers', 20, 50, 1);"
        "INSERT INTO retail (retname) VALUES ('Ace Books');"
        "INSERT INTO subject VALUES ('S0', '文學');"
        "INSERT INTO bill (\"invoice no\", \"invoice date\", fee, \"invoice time\", retail) "
        "VALUES ('B-1', '2001-05-01', 10, '09:00:00', 'Ace Books'), "
        "('B-2', '2001-05-02', 20, '09:00:00', 'Ace Books'), "
        "('B-3', '2001-05-02', 30, '09:00:00', 'Ace Books')"));
    owner.exec(QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE "
                              "rolname = '%1') THEN CREATE ROLE %1 LOGIN IN ROLE %2; END "
                              "IF; END $$")
                   .arg(kTill, serverroles::kOffice));
    owner.exec("COMMIT");
}

QString ServerShop::location() const {
    return shoplocation::ofServer(settingsOf(database_, kTill));
}

QStringList ServerShop::snapshot() const {
    QStringList rows;
    for (const char *table :
         {"titles", "subject", "publishers", "retail", "soldbook", "onsale", "bill", "paidbill"})
        rows << QString::fromLatin1(table)
             << ownerRows(
                    database_,
                    QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
    return rows;
}

} // namespace faultserver
