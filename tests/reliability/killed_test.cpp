// Killed mid-work: a worker sells, or pays bills, through the real screens, or takes receipts,
// their payments, refunds and cash-ups at the counter (on a file and on the server), and is
// killed with SIGKILL at a random moment, again and again. After every kill the shop opens, a
// file passes its integrity check, and every sale, payment, refund and Z report is there whole
// or not at all; a receipt left unpaid can be paid, and a session left open closed.
#include "connection.h"
#include "opendatabase.h"
#include "receipts.h"
#include "reliabilitysupport.h"
#include "shopbackups.h"
#include "shopsession.h"
#include "testserver.h"
#include "tillcopy.h"
#include "tillsessions.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
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

// Each title's stock is what it started with less the copies sold.
QStringList stockFaults(Connection &db) {
    QStringList faults;
    Statement stock = db.prepare("SELECT t.ISBN, t.Qty, (SELECT coalesce(sum(s.Qty), 0) FROM "
                                 "soldbook s WHERE s.ISBN = t.ISBN) FROM Titles t");
    while (stock.step())
        if (stockAtStart - stock.value(2).toLongLong() != stock.value(1).toLongLong())
            faults << QStringLiteral("%1: stock %2 but %3 sold")
                          .arg(stock.value(0).toString(), stock.value(1).toString(),
                               stock.value(2).toString());
    return faults;
}

// What the file must hold whatever moment the worker died at. Empty when it does.
QStringList halfWritten(Connection &db) {
    QStringList faults = stockFaults(db);
    if (const QString integrity = integrityCheck(db); integrity != "ok")
        faults << "integrity check: " + integrity;
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

// One kind of work killed again and again: what the shop must hold after each kill (empty
// when it does), and how much work is stored so far.
struct KillRun {
    QString mode, location;
    int kills = killsEach;
    std::function<QStringList()> faults;
    std::function<int()> stored;
};

KillFigures killRepeatedly(const KillRun &run, std::mt19937 &random) {
    KillFigures figures;
    // Up to 40 ms after the worker is ready; on a loaded machine, where the worker is given the
    // processor late, longer after each kill that found nothing new stored, so that kills still
    // land in the middle of work.
    int longestDelayMs = 40;
    int stored = 0;
    for (int k = 0; k < run.kills; ++k) {
        QProcess worker;
        worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        worker.start(QStringLiteral(RELIABILITY_WORKER), {run.mode, run.location});
        if (!worker.waitForStarted(10000) || !worker.waitForReadyRead(10000)) {
            ADD_FAILURE() << "worker did not start: " << worker.errorString().toStdString();
            break;
        }
        std::uniform_int_distribution<int> delayMs(0, longestDelayMs);
        QThread::msleep(static_cast<unsigned long>(delayMs(random)));
        EXPECT_EQ(worker.state(), QProcess::Running) << "kill " << k << ": the worker stopped";
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        worker.waitForFinished(10000);
        ++figures.kills;

        const QStringList faults = run.faults(); // throws if the shop no longer opens
        EXPECT_TRUE(faults.isEmpty()) << "kill " << k << ": " << faults.join("; ").toStdString();
        if (faults.isEmpty())
            ++figures.survived;
        else
            ++figures.halfWritten;
        const int now = run.stored();
        if (now > stored)
            ++figures.midWork;
        longestDelayMs =
            now > stored ? std::max(40, longestDelayMs / 2) : std::min(2000, longestDelayMs * 2);
        stored = now;
    }
    return figures;
}

void expectKilledMidWork(const QString &what, const KillFigures &figures, int kills) {
    EXPECT_GE(figures.kills, kills);
    EXPECT_EQ(figures.halfWritten, 0);
    // A loaded machine starts the worker late, so fewer kills land mid-work; a tenth still
    // proves the kills hit stored work rather than an idle worker.
    EXPECT_GE(figures.midWork, figures.kills / 10) << "kills should land while it works";
    std::printf("[ figures  ] %s: %d kills, %d survived, %d half-written, %d after new "
                "work was stored\n",
                qPrintable(what), figures.kills, figures.survived, figures.halfWritten,
                figures.midWork);
}

// Each refund whole (its amount its lines' and each line's copies counted back on the receipt's
// line), each closed session with its Z report and no open one with one, one open session a
// till at most, and each Z report's cash what the session's work comes to.
QStringList sessionFaults(Connection &db) {
    QStringList faults;
    const char *const checks[] = {
        "SELECT 'refund ' || f.Refund || ' is not whole' FROM refunds f WHERE f.Amount <> "
        "(SELECT coalesce(sum(l.Price * l.Qty), 0) FROM refundlines l WHERE l.Refund = f.Refund) "
        "OR NOT EXISTS (SELECT 1 FROM refundlines l WHERE l.Refund = f.Refund)",
        "SELECT 'line ' || b.Line || ' of ' || b.Receipt || ' counts ' || b.Back || ' back' FROM "
        "linesback b WHERE b.Back <> (SELECT coalesce(sum(l.Qty), 0) FROM refundlines l JOIN "
        "refunds f ON f.Refund = l.Refund WHERE f.Receipt = b.Receipt AND l.ReceiptLine = b.Line)",
        "SELECT 'session ' || s.Session || ' closed without its Z report, or open with one' FROM "
        "tillsessions s WHERE (s.Closed IS NULL) = EXISTS (SELECT 1 FROM zreports z WHERE "
        "z.Session = s.Session)",
        "SELECT 'till ' || Till || ' has ' || count(*) || ' open sessions' FROM tillsessions "
        "WHERE Closed IS NULL GROUP BY Till HAVING count(*) > 1",
        "SELECT 'the Z report of ' || z.Session || ' expects ' || z.Expected || ' in cash' FROM "
        "zreportmethods z JOIN tillsessions s ON s.Session = z.Session WHERE z.Kind = 'cash' AND "
        "z.Expected <> s.OpeningFloat + (SELECT coalesce(sum(y.Amount), 0) FROM receiptsessions "
        "r JOIN payments y ON y.Receipt = r.Receipt WHERE r.Session = s.Session AND y.Method = "
        "z.Method) - (SELECT coalesce(sum(f.Amount), 0) FROM refunds f WHERE f.Session = "
        "s.Session AND f.Method = z.Method)",
    };
    for (const char *check : checks) {
        Statement select = db.prepare(QString::fromLatin1(check));
        while (select.step())
            faults << select.value(0).toString();
    }
    return faults;
}

// Closes the till's session the kills left open, counted blind as empty: a fault when the
// shop refuses.
QStringList closeWhatIsOpen(const QString &location) {
    ShopSession session(drivers::open(location));
    const auto open =
        shop::openSessionOf(session.connection(), shop::thisTill(session.connection())->id);
    if (!open)
        return {};
    try {
        shop::closeSession(session, {open->id, {}, QDateTime(QDate(2001, 5, 3), QTime(18, 0))});
    } catch (const std::exception &error) {
        return {QStringLiteral("the session cannot be closed: ") +
                QString::fromLocal8Bit(error.what())};
    }
    return {};
}

// Every receipt's lines each with its sale, its payments whole (the cash kept is what was
// tendered less the change), never more paid than due, marked paid exactly when paid in full,
// and its till's numbers 1, 2, 3... without gaps or doubles.
QStringList receiptFaults(Connection &db) {
    QStringList faults = stockFaults(db);
    const qint64 lines = db.scalar("SELECT (SELECT count(*) FROM receiptlines) + (SELECT "
                                   "count(*) FROM refundlines)")
                             .toLongLong();
    const qint64 sales = db.scalar("SELECT count(*) FROM soldbook").toLongLong();
    if (lines != sales)
        faults << QStringLiteral("%1 receipt and refund lines but %2 sales").arg(lines).arg(sales);
    Statement pays = db.prepare("SELECT Receipt, Payment, Amount, Tendered, Given FROM payments");
    while (pays.step())
        if (Money::fromValue(pays.value(3))->units() - Money::fromValue(pays.value(4))->units() !=
            Money::fromValue(pays.value(2))->units())
            faults << QStringLiteral("payment %1 of %2 is not whole")
                          .arg(pays.value(1).toString(), pays.value(0).toString());
    Statement receipts = db.prepare("SELECT Receipt, Paid FROM receipts");
    while (receipts.step()) {
        const auto [record, stored] = shop::readReceipt(db, receipts.value(0).toString());
        qint64 due = 0, paid = record.rounding ? -record.rounding->units() : 0;
        for (const ReceiptLineRecord &line : record.lines)
            due += line.price.times(line.quantity).units();
        for (const PaymentRecord &payment : record.payments)
            paid += payment.amount.units();
        const bool markedPaid =
            !receipts.value(1).isNull() && !receipts.value(1).toString().isEmpty();
        if (paid > due || markedPaid != (paid == due) || record.lines.empty())
            faults << QStringLiteral("receipt %1: %2 lines, %3 due, %4 paid, marked %5")
                          .arg(stored.readable)
                          .arg(record.lines.size())
                          .arg(Money::fromUnits(due).text(), Money::fromUnits(paid).text(),
                               markedPaid ? "paid" : "unpaid");
    }
    faults += sessionFaults(db);
    const QString numbers = db.scalar("SELECT count(*) || ' ' || count(DISTINCT Number) || ' ' || "
                                      "coalesce(min(Number), 1) || ' ' || coalesce(max(Number), 0) "
                                      "FROM receipts")
                                .toString();
    const QStringList n = numbers.split(' ');
    if (n[0] != n[1] || n[2] != "1" || n[3] != n[0])
        faults << "receipt numbers with gaps or doubles (count, distinct, least, greatest): " +
                      numbers;
    return faults;
}

// Pays what is left of every receipt the kills left unpaid, in cash, as the counter does when
// it takes one up again; a fault for each that the shop refuses or still holds unpaid.
QStringList payWhatIsLeft(const QString &location) {
    QStringList faults;
    ShopSession session(drivers::open(location));
    Connection &db = session.connection();
    const std::optional<Till> till = shop::thisTill(db);
    if (!till)
        return {QStringLiteral("this login is at no till")};
    const qint64 cash = shop::paymentMethods(db).front().id;
    for (const UnpaidReceipt &unpaid : shop::unpaidReceipts(db, till->id)) {
        ReceiptRecord record = shop::readReceipt(db, unpaid.id).first;
        Money paid;
        for (const PaymentRecord &payment : record.payments)
            paid += payment.amount;
        const Money rest = Money::fromUnits(unpaid.total.units() - paid.units());
        const QDateTime at(QDate(2001, 5, 3), QTime(11, 0));
        record.payments.push_back({int(record.payments.size()) + 1, cash, rest, rest, Money(), at});
        record.paidAt = at;
        try {
            if (!shop::storeReceipt(session, record).paid)
                faults << unpaid.readable + " is still not paid";
        } catch (const std::exception &error) {
            faults << unpaid.readable + ": " + QString::fromLocal8Bit(error.what());
        }
    }
    if (!shop::unpaidReceipts(db, till->id).empty())
        faults << "receipts are still unpaid after paying what was left of each";
    return faults;
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
        const char *counter =
            mode == "sell" ? "SELECT count(*) FROM soldbook" : "SELECT count(*) FROM paidbill";
        KillRun run{mode, path, killsEach,
                    [&] {
                        Connection db = drivers::connect(path);
                        return halfWritten(db);
                    },
                    [&] { return drivers::connect(path).scalar(counter).toInt(); }};
        const KillFigures figures = killRepeatedly(run, random);
        expectKilledMidWork(mode, figures, 100);
        ::testing::Test::RecordProperty((mode + "Kills").toStdString(), figures.kills);
    }
}

// Receipts stored line by line and payment by payment, refunds and closes of the till's
// session, on a file and on the server: after each kill every payment, refund and Z report is
// whole or absent, the receipt the worker was taking payment for can be paid in full
// afterwards, and the session it left open can be closed.
TEST(KilledMidWork, AReceiptsPaymentIsWholeOrAbsentAndCanBePaidAfterAKill) {
    const unsigned seedValue = std::random_device{}();
    std::mt19937 random(seedValue);
    QTemporaryDir dir;
    struct Engine {
        const char *name;
        QString location;
    };
    std::vector<Engine> engines{{"file", createShopFile(dir.path())}};
    if (qEnvironmentVariableIsSet("QUILLMART_TEST_SERVER")) {
        engines.push_back({"server", testserver::freshShop()});
        testserver::ownerExec(QStringLiteral("INSERT INTO tills (name, prefix, login) VALUES "
                                             "('Till 1', 'A', '%1')")
                                  .arg(testserver::officeLogin()));
    }
    for (const Engine &engine : engines) {
        SCOPED_TRACE(std::string(engine.name) + ", random seed " + std::to_string(seedValue));
        {
            Connection db = drivers::connect(engine.location);
            db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty, SafeQty) VALUES "
                    "('9780000000001', 'One', 12.5, 1000000, 3), "
                    "('9780000000002', 'Two', 7.25, 1000000, 3)");
            shop::addCounterDefaults(db, std::string(engine.name) == "file");
            shop::setPaymentsOn(db, true);
        }
        const bool file = std::string(engine.name) == "file";
        KillRun run{QStringLiteral("receipts"), engine.location, 40,
                    [&] {
                        Connection db = drivers::connect(engine.location);
                        QStringList faults = receiptFaults(db);
                        if (file && integrityCheck(db) != "ok")
                            faults << "integrity check: " + integrityCheck(db);
                        faults += payWhatIsLeft(engine.location);
                        faults += closeWhatIsOpen(engine.location);
                        return faults + receiptFaults(db);
                    },
                    [&] {
                        return drivers::connect(engine.location)
                            .scalar("SELECT count(*) FROM payments")
                            .toInt();
                    }};
        const KillFigures figures = killRepeatedly(run, random);
        expectKilledMidWork(QStringLiteral("receipts on the ") + engine.name, figures, 40);
        EXPECT_GT(drivers::connect(engine.location).scalar("SELECT count(*) FROM refunds").toInt(),
                  0);
    }
}

// A backup killed at any moment leaves nothing that counts as a backup: every name the list
// shows unpacks and passes its whole check, and the next backup clears what was left.
// A till selling while its server is away is killed at random moments: every receipt it
// printed is still in its outbox under the number printed, and the numbers run on without a
// gap or a number twice.
TEST(KilledMidWork, ATillKilledWhileOfflineLosesNoReceiptItPrinted) {
    QTemporaryDir dir;
    const QString path = TillCopy::fileFor(dir.path(), QStringLiteral("backoffice"));
    std::mt19937 random(30);
    qint64 lastPrinted = 0;
    int midWork = 0;
    for (int k = 0; k < 40; ++k) {
        QProcess worker;
        worker.start(QStringLiteral(RELIABILITY_WORKER), {QStringLiteral("offline"), path});
        ASSERT_TRUE(worker.waitForStarted(10000) && worker.waitForReadyRead(10000));
        QThread::msleep(std::uniform_int_distribution<unsigned long>(0, 60)(random));
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        worker.waitForFinished(10000);
        for (const QByteArray &line : worker.readAllStandardOutput().split('\n'))
            if (line.startsWith("printed "))
                lastPrinted = std::max(lastPrinted, line.mid(8).toLongLong());
        TillCopy copy(path); // opens after every kill
        const std::vector<OutboxItem> kept = copy.oldest(1000000);
        ASSERT_GE(static_cast<qint64>(kept.size()), lastPrinted) << "kill " << k;
        for (std::size_t i = 0; i < kept.size(); ++i)
            ASSERT_EQ(kept[i].number, static_cast<qint64>(i) + 1) << "kill " << k;
        midWork += static_cast<qint64>(kept.size()) > lastPrinted ? 1 : 0;
    }
    EXPECT_GT(lastPrinted, 0);
    std::printf("[          ] offline till: %lld receipts printed over 40 kills, %d kills between "
                "keeping and printing\n",
                static_cast<long long>(lastPrinted), midWork);
}

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
