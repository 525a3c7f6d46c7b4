// Killed mid-work: a worker sells, or pays bills, through the real screens and is killed
// with SIGKILL at a random moment, again and again. After every kill the file opens, passes
// its integrity check, and every sale and every payment is there whole or not at all.
#include "connection.h"
#include "opendatabase.h"
#include "reliabilitysupport.h"
#include "shopbackups.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>

using namespace reliability;

namespace {

constexpr int killsEach = 110;
constexpr int titles = 20;
constexpr int bills = 4000;
constexpr qint64 stockAtStart = 1000000;

QString isbn(int n) {
    return QStringLiteral("97800000000%1").arg(n, 2, 10, QLatin1Char('0'));
}

void seed(const QString &path) {
    Connection db = drivers::connect(path);
    db.exec("BEGIN");
    Statement title = db.prepare(
        "INSERT INTO Titles (ISBN, Title, [Sale Price], Qty, SafeQty) VALUES (?, ?, 12.5, ?, 3)");
    for (int n = 0; n < titles; ++n) {
        title.bindAll({isbn(n), QString::fromUtf8("書 %1").arg(n), stockAtStart});
        title.step();
        title.reset();
    }
    db.exec("INSERT INTO retail (RetName) VALUES ('Ace Books')");
    Statement bill =
        db.prepare("INSERT INTO Bill VALUES (?, '2001-05-03', 10, '09:00:00', 'Ace Books')");
    for (int n = 0; n < bills; ++n) {
        bill.bindAll({QStringLiteral("B-%1").arg(n)});
        bill.step();
        bill.reset();
    }
    db.exec("COMMIT");
}

// What the file must hold whatever moment the worker died at. Empty when it does.
QStringList halfWritten(Connection &db) {
    QStringList faults;
    Statement stock = db.prepare(
        "SELECT t.ISBN, t.Qty, (SELECT total(s.Qty) FROM soldbook s WHERE s.ISBN = t.ISBN) "
        "FROM Titles t");
    while (stock.step())
        if (stockAtStart - stock.value(2).toLongLong() != stock.value(1).toLongLong())
            faults << QStringLiteral("%1: stock %2 but %3 sold")
                          .arg(stock.value(0).toString(), stock.value(1).toString(),
                               stock.value(2).toString());
    Statement paid =
        db.prepare("SELECT [Invoice No], count(*) FROM (SELECT [Invoice No] FROM Bill UNION ALL "
                   "SELECT [Invoice No] FROM paidbill) GROUP BY [Invoice No] HAVING count(*) <> 1");
    while (paid.step())
        faults << QStringLiteral("bill %1 is in %2 places")
                      .arg(paid.value(0).toString(), paid.value(1).toString());
    const int total = db.scalar("SELECT (SELECT count(*) FROM Bill) + "
                                "(SELECT count(*) FROM paidbill)")
                          .toInt();
    if (total != bills)
        faults << QStringLiteral("%1 bills instead of %2").arg(total).arg(bills);
    return faults;
}

struct KillFigures {
    int kills = 0;
    int survived = 0;
    int halfWritten = 0;
    int midWork = 0; // kills after which the worker had stored something new
};

KillFigures killRepeatedly(const QString &mode, const QString &path, std::mt19937 &random) {
    KillFigures figures;
    std::uniform_int_distribution<int> delayMs(0, 40);
    const char *counter =
        mode == "sell" ? "SELECT count(*) FROM soldbook" : "SELECT count(*) FROM paidbill";
    int stored = 0;
    for (int k = 0; k < killsEach; ++k) {
        QProcess worker;
        worker.start(QStringLiteral(RELIABILITY_WORKER), {mode, path});
        if (!worker.waitForStarted(10000) || !worker.waitForReadyRead(10000)) {
            ADD_FAILURE() << "worker did not start: " << worker.errorString().toStdString();
            break;
        }
        QThread::msleep(static_cast<unsigned long>(delayMs(random)));
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        worker.waitForFinished(10000);
        ++figures.kills;

        Connection db = drivers::connect(path); // throws if the file no longer opens
        const QString integrity = integrityCheck(db);
        const QStringList faults = halfWritten(db);
        EXPECT_EQ(integrity, "ok") << "kill " << k;
        EXPECT_TRUE(faults.isEmpty()) << "kill " << k << ": " << faults.join("; ").toStdString();
        if (integrity == "ok" && faults.isEmpty())
            ++figures.survived;
        else
            ++figures.halfWritten;
        const int now = db.scalar(QString::fromLatin1(counter)).toInt();
        if (now > stored)
            ++figures.midWork;
        stored = now;
    }
    return figures;
}

} // namespace

TEST(KilledMidWork, EverySaleAndPaymentIsWholeOrAbsentAfterEachKill) {
    const unsigned seedValue = std::random_device{}();
    std::mt19937 random(seedValue);
    for (const QString &mode : {QStringLiteral("sell"), QStringLiteral("pay")}) {
        SCOPED_TRACE(mode.toStdString() + ", random seed " + std::to_string(seedValue));
        QTemporaryDir dir;
        const QString path = createShopFile(dir.path());
        seed(path);
        const KillFigures figures = killRepeatedly(mode, path, random);
        EXPECT_GE(figures.kills, 100);
        EXPECT_EQ(figures.halfWritten, 0);
        // A loaded machine starts the worker late, so fewer kills land mid-work; a tenth still
        // proves the kills hit stored work rather than an idle worker.
        EXPECT_GE(figures.midWork, figures.kills / 10) << "kills should land while it works";
        std::printf("[ figures  ] %s: %d kills, %d survived, %d half-written, %d after new "
                    "work was stored\n",
                    qPrintable(mode), figures.kills, figures.survived, figures.halfWritten,
                    figures.midWork);
        ::testing::Test::RecordProperty((mode + "Kills").toStdString(), figures.kills);
    }
}

// A backup killed at any moment leaves nothing that counts as a backup: every name the list
// shows unpacks and passes its whole check, and the next backup clears what was left.
TEST(KilledMidWork, NoHalfMadeBackupIsEverCounted) {
    const unsigned seedValue = std::random_device{}();
    std::mt19937 random(seedValue);
    SCOPED_TRACE("random seed " + std::to_string(seedValue));
    QTemporaryDir dir;
    const QString path = createShopFile(dir.path());
    seed(path);
    {
        Connection db = drivers::connect(path); // enough sales that a backup takes a while
        db.exec("BEGIN");
        Statement sale = db.prepare("INSERT INTO soldbook VALUES ('2001-05-03', '10:30:00', "
                                    "'9780000000001', ?, 12.5, 1)");
        for (int n = 0; n < 30000; ++n) {
            sale.bindAll({QStringLiteral("Sold copy %1 of a title with a long name").arg(n)});
            sale.step();
            sale.reset();
        }
        db.exec("COMMIT");
    }
    const ShopBackups backups(path);
    std::uniform_int_distribution<int> delayMs(0, 120);
    int kills = 0, midBackup = 0;
    for (int k = 0; k < 40; ++k) {
        QProcess worker;
        worker.start(QStringLiteral(RELIABILITY_WORKER), {QStringLiteral("backup"), path});
        ASSERT_TRUE(worker.waitForStarted(10000) && worker.waitForReadyRead(10000));
        QThread::msleep(static_cast<unsigned long>(delayMs(random)));
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        worker.waitForFinished(10000);
        ++kills;
        if (!QDir(backups.folder()).entryList({QStringLiteral("*.part*")}, QDir::Files).isEmpty())
            ++midBackup;
        for (const QString &backup : backups.list()) {
            QString problem;
            EXPECT_TRUE(ShopBackups::passesCheck(backup, &problem))
                << "kill " << k << ": " << backup.toStdString() << ": " << problem.toStdString();
        }
        Connection db = drivers::connect(path);
        EXPECT_EQ(integrityCheck(db), "ok") << "kill " << k;
    }
    EXPECT_GE(midBackup, kills / 4) << "kills should land while a backup is being made";
    const QString made = backups.take(QDateTime(QDate(2001, 5, 4), QTime(9, 0, 0)));
    EXPECT_TRUE(ShopBackups::passesCheck(made));
    EXPECT_TRUE(
        QDir(backups.folder()).entryList({QStringLiteral("*.part*")}, QDir::Files).isEmpty())
        << "the leftovers of killed backups are cleared";
    std::printf("[ figures  ] backup: %d kills, %d while a backup was being made\n", kills,
                midBackup);
}
