// Upgrading a shop file: from each earlier version to the newest with every row of the ten
// tables as it was and each step recorded, the backup first and kept apart until the next
// upgrade; a SIGKILL at any point of any step leaves the shop whole at a version it had; a
// shop that needs a newer program, or whose version table is damaged, takes no writes.
#include "backupfile.h"
#include "backupscheduler.h"
#include "clock.h"
#include "connection.h"
#include "dataerror.h"
#include "mainwindow.h"
#include "olderscreens.h"
#include "opendatabase.h"
#include "receipts.h"
#include "shopbackups.h"
#include "shopfile.h"
#include "shopfileupgrade.h"
#include "shopfingerprint.h"
#include "sqlitefile.h"
#include "startcheck.h"
#include "teststeps.h"
#include "testsupport.h"
#include "upgradecommand.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 3, 14);
const QDateTime kWhen(kToday, QTime(9, 30, 0));

// A shop file of `version` made by the tools' own code from the steps up to it, with the demo
// catalogue in its ten tables.
QString makeShop(const QTemporaryDir &dir, int version,
                 std::span<const StepDescription> steps = teststeps::all) {
    const QString path = dir.filePath("book1.mdb");
    shopfile::create(path, version, steps);
    shopfile::loadDemoCatalogue(path, kToday);
    return path;
}

QStringList fingerprint(const QString &path) {
    Connection db = drivers::connect(path);
    return tenTablesFingerprint(db);
}

QStringList column(const QString &path, const QString &sql) {
    SqliteFile file(path, SqliteFile::Mode::ReadOnly);
    SqliteStatement select(file, sql);
    QStringList values;
    while (select.step())
        values << select.string(0);
    return values;
}

TEST(UpgradeFile, FromEachEarlierVersionKeepsEveryRowAndRecordsEachStep) {
    const int newest = shopversion::newest(teststeps::all);
    ASSERT_GE(newest, 4); // the real steps and the tests' own two
    for (int from = 1; from < newest; ++from) {
        SCOPED_TRACE(from);
        QTemporaryDir dir;
        const QString path = makeShop(dir, from);
        if (from >= 3) {
            Connection db = drivers::connect(path);
            storeVersion3Receipt(db);
        }
        const auto rows = [&] {
            Connection db = drivers::connect(path);
            return tenTablesFingerprint(db) + stepTablesFingerprint(db, teststeps::all, from);
        };
        const QStringList before = rows();
        ASSERT_GT(before.size(), 100);

        const shopfileupgrade::Result made = shopfileupgrade::upgrade(path, kWhen, teststeps::all);
        EXPECT_EQ(made.outcome.from, from);
        EXPECT_EQ(made.outcome.to, newest);
        EXPECT_EQ(rows().join('\n').toStdString(), before.join('\n').toStdString());
        // An upgraded shop, empty or not, takes refunds for the reasons every shop starts with;
        // one made at that version is given them by what makes it.
        EXPECT_EQ(column(path, "SELECT count(*) FROM refundreasons"),
                  QStringList{from < 4 ? "5" : "0"});
        EXPECT_EQ(shopfileupgrade::version(path, teststeps::all).number, newest);
        QStringList records;
        for (int to = from + 1; to <= newest; ++to)
            records << QString("%1>%2 2026-03-14 09:30:00 1.4").arg(to - 1).arg(to);
        // A shop made at version 2 or later had its version recorded without an upgrade.
        EXPECT_EQ(column(path, "SELECT FromVersion || '>' || ToVersion || ' ' || UpgradedAt || "
                               "' ' || ProgramVersion FROM shopupgrades ORDER BY Upgrade"),
                  records);
        // Each step's own part for a file ran once, in the step's transaction.
        EXPECT_EQ(column(path, "SELECT Code || Name FROM testcodes"), QStringList{"Afirst"});

        // The backup was taken first: of the old version, named apart, whole.
        const std::vector<BackupEntry> backups = ShopBackups(path).entries();
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_TRUE(backups[0].beforeUpgrade);
        EXPECT_EQ(backups[0].facts.version, from);
        EXPECT_TRUE(ShopBackups::passesCheck(backups[0].path));

        // Once more: nothing to do, and no second backup.
        const shopfileupgrade::Result again =
            shopfileupgrade::upgrade(path, kWhen.addSecs(60), teststeps::all);
        EXPECT_EQ(again.outcome.from, newest);
        EXPECT_EQ(again.outcome.to, newest);
        EXPECT_TRUE(again.backup.isEmpty());
        EXPECT_EQ(ShopBackups(path).list().size(), 1);
    }
}

// An upgraded shop, empty or not, can take payment at once: cash, card and its one till. A
// shop made at that version has none of them (what makes a new shop adds them itself).
TEST(UpgradeFile, AnUpgradedShopEmptyOrNotStartsWithCashCardAndItsTill) {
    const int newest = shopversion::newest(teststeps::all);
    for (int from = 1; from < newest; ++from) {
        for (const bool demo : {false, true}) {
            SCOPED_TRACE(QString("from %1, demo %2").arg(from).arg(demo).toStdString());
            QTemporaryDir dir;
            const QString path = dir.filePath("book1.mdb");
            shopfile::create(path, from, teststeps::all);
            if (demo)
                shopfile::loadDemoCatalogue(path, kToday);
            shopfileupgrade::upgrade(path, kWhen, teststeps::all);
            const bool upgradedToReceipts = from < shop::receiptsVersion;
            const QStringList methods{"card", "cash"}, tills{"Till 1/A"};
            EXPECT_EQ(column(path, "SELECT Kind FROM paymentmethods ORDER BY Kind"),
                      upgradedToReceipts ? methods : QStringList());
            EXPECT_EQ(column(path, "SELECT Name || '/' || Prefix FROM tills"),
                      upgradedToReceipts ? tills : QStringList());
        }
    }
}

TEST(UpgradeFile, TheLaterScreensOnAnOlderShopSayItMustBeUpgradedFirst) {
    for (const int version : {2, 3}) {
        SCOPED_TRACE(version);
        QTemporaryDir dir;
        expectUpgradeFirstForLaterScreens(makeShop(dir, version), version, true);
    }
}

TEST(UpgradeFile, TheBackupBeforeAnUpgradeIsKeptUntilTheNextUpgrade) {
    QTemporaryDir dir;
    const QString path = makeShop(dir, 1);
    const QString first =
        shopfileupgrade::upgrade(path, kWhen, teststeps::all.first(1)).backup; // to version 2
    // Daily backups for a year and a half: the keeping by age leaves the upgrade's alone.
    for (int day = 1; day < 540; day += 3)
        ShopBackups(path).take(kWhen.addDays(day));
    EXPECT_TRUE(ShopBackups(path).list().contains(first));

    const QString second =
        shopfileupgrade::upgrade(path, kWhen.addDays(600), teststeps::all).backup;
    const QStringList kept = ShopBackups(path).list();
    EXPECT_TRUE(kept.contains(second));
    EXPECT_FALSE(kept.contains(first));
    EXPECT_EQ(kept.front(), second); // the newest, among the daily ones by its time
    backupfile::Facts facts;
    ASSERT_TRUE(backupfile::readFacts(second, &facts));
    EXPECT_EQ(facts.version, 2);
}

TEST(UpgradeFile, AKillAtAnyPointOfAnyStepLeavesTheShopWholeAtAVersionItHad) {
    const int newest = shopversion::newest(teststeps::all);
    const char *stages[] = {"begun", "made", "committed"};
    for (const StepDescription &step : teststeps::all) {
        for (int stage = 0; stage < 3; ++stage) {
            SCOPED_TRACE(
                QString("version %1, %2").arg(step.version).arg(stages[stage]).toStdString());
            QTemporaryDir dir;
            const QString path = makeShop(dir, 1);
            const QStringList before = fingerprint(path);
            QProcess killer;
            killer.start(QM_UPGRADEKILLER_PATH,
                         {path, QString::number(step.version), QString::number(stage)});
            ASSERT_TRUE(killer.waitForFinished(60000));
            ASSERT_EQ(killer.exitStatus(), QProcess::CrashExit) << killer.readAll().toStdString();

            QString problem;
            EXPECT_TRUE(ShopBackups::passesQuickCheck(path, &problem)) << problem.toStdString();
            const int had = stage == 2 ? step.version : step.version - 1;
            EXPECT_EQ(shopfileupgrade::version(path, teststeps::all).number, had);
            EXPECT_EQ(fingerprint(path), before);
            // Run again, it goes on from there to the newest.
            const shopfileupgrade::Result rest =
                shopfileupgrade::upgrade(path, kWhen, teststeps::all);
            EXPECT_EQ(rest.outcome.from, had);
            EXPECT_EQ(rest.outcome.to, newest);
            EXPECT_EQ(column(path, "SELECT count(*) FROM shopupgrades"),
                      QStringList{QString::number(newest - 1)});
            EXPECT_EQ(fingerprint(path), before);
        }
    }
}

struct WriterCase {
    const char *what;
    const char *change; // made to a shop of the newest version
    const char *says;   // in the refusal of every write; empty: writes are stored
};

TEST(UpgradeFile, AShopThisProgramMayNotWriteIsReadButTakesNoWrite) {
    const WriterCase cases[] = {
        {"a newer shop that lets this program write", "UPDATE shopversion SET Version = 9", ""},
        {"a shop that needs a newer program",
         "UPDATE shopversion SET Version = 9, OldestWriter = '7.2'",
         "is of version 9, which Quillmart 7.2 or later may change; this is Quillmart 1.4."},
        {"a version table of two rows",
         "DROP TABLE shopversion; CREATE TABLE shopversion (Shop TEXT, Version INTEGER, "
         "OldestWriter TEXT); INSERT INTO shopversion VALUES ('shop', 2, '1.1'), ('shop', 3, "
         "'1.1')",
         "is damaged (the version table shopversion holds 2 rows, not one)"},
        {"a program version that is none", "UPDATE shopversion SET OldestWriter = 'soon'",
         "is damaged (the version table shopversion gives \"soon\" as the oldest program"},
        {"a version that is none", "UPDATE shopversion SET Version = 'two'",
         "is damaged (the version table shopversion gives the version \"two\")"},
        {"a table of a step made missing", "DROP TABLE shopupgrades",
         "is damaged (it is of version %1, but its table shopupgrades is missing)"},
    };
    for (const WriterCase &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = makeShop(dir, shopversion::newest(steps::all), steps::all);
        SqliteFile(path, SqliteFile::Mode::ReadWrite).exec(c.change);

        const ShopDatabase shop = drivers::open(path);
        StartCheck check(shop);
        check.start();
        check.wait();
        Connection db = shop.connect();
        EXPECT_GT(db.scalar("SELECT count(*) FROM Titles").toInt(), 0); // read as ever
        // A sale's change and a till's scratch rows (Top 10's list) alike.
        for (const char *write : {"UPDATE Titles SET Qty = Qty + 1",
                                  "INSERT INTO tmp (A, B, C) VALUES ('1', '2', '3')"}) {
            QString refused;
            try {
                Transaction transaction(db);
                db.exec(write);
                transaction.commit();
            } catch (const DataError &error) {
                refused = error.sentence();
            }
            if (*c.says == '\0') {
                EXPECT_TRUE(refused.isEmpty()) << refused.toStdString();
            } else {
                EXPECT_TRUE(refused.startsWith("This was not stored. ")) << refused.toStdString();
                EXPECT_TRUE(refused.contains(
                    QString::fromUtf8(c.says).arg(shopversion::newest(steps::all))))
                    << refused.toStdString();
            }
        }
        if (*c.says != '\0') { // nothing was stored
            EXPECT_EQ(db.scalar("SELECT count(*) FROM tmp").toInt(), 0);
        }
    }
}

TEST(UpgradeFile, AShopThatNeedsANewerProgramIsNotUpgradedNorBackedUp) {
    QTemporaryDir dir;
    const QString path = makeShop(dir, 2);
    SqliteFile(path, SqliteFile::Mode::ReadWrite)
        .exec("UPDATE shopversion SET OldestWriter = '7.2'");
    try {
        shopfileupgrade::upgrade(path, kWhen, teststeps::all);
        ADD_FAILURE() << "upgraded";
    } catch (const DataError &error) {
        EXPECT_EQ(error.kind(), DataError::Kind::ReadOnly);
    }
    EXPECT_EQ(shopfileupgrade::version(path, teststeps::all).number, 2);
    EXPECT_TRUE(ShopBackups(path).list().isEmpty());
}

struct OfferCase {
    const char *what;
    int version;        // of the shop file; 0 for the newest
    const char *change; // made to it
    bool restored;      // put back by a restore, else opened
    bool offered;       // the upgrade is offered (and declined)
    bool refused;       // writes are refused and the operator is told why
};

TEST(UpgradeFile, TheProgramOffersAnOlderShopTheUpgradeAndARestoredOneItMayNotWriteTakesNoWrite) {
    const char *newerProgram = "UPDATE shopversion SET OldestWriter = '7.2'";
    const OfferCase cases[] = {
        {"an older shop opened", 2, "", false, true, false},
        {"an older shop restored", 2, "", true, true, false},
        {"the newest shop restored", 0, "", true, false, false},
        {"a shop that needs a newer program, opened", 0, newerProgram, false, false, false},
        {"a shop that needs a newer program, restored", 0, newerProgram, true, false, true},
    };
    for (const OfferCase &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const int version = c.version ? c.version : shopversion::newest(teststeps::all);
        const QString path = makeShop(dir, version);
        if (*c.change != '\0')
            SqliteFile(path, SqliteFile::Mode::ReadWrite).exec(c.change);
        FixedClock clock(kToday, QTime(9, 30));
        RecordingMessageBoxes messages;
        messages.answerNext(false);
        QSettings settings(dir.filePath("quillmart.ini"), QSettings::IniFormat);
        MainWindow window({drivers::open(path), &messages, &clock, nullptr, nullptr, {}}, settings,
                          QString());
        BackupScheduler backups(path, &clock);
        auto *command = new UpgradeCommand(window, backups, messages, clock, teststeps::all);
        command->offerIfOlder(c.restored);

        ASSERT_EQ(messages.shown.size(), c.offered || c.refused ? 1u : 0u);
        if (!messages.shown.empty()) {
            EXPECT_EQ(messages.shown[0].confirmation, c.offered);
            EXPECT_EQ(messages.shown[0].text.contains("Quillmart 7.2"), c.refused);
        }
        EXPECT_EQ(shopfileupgrade::version(path, teststeps::all).number, version);
        Connection db = window.context().shop.connect();
        QString refusal;
        try {
            Transaction transaction(db);
            db.exec("UPDATE Titles SET Qty = Qty + 1");
            transaction.commit();
        } catch (const DataError &error) {
            refusal = error.sentence();
        }
        EXPECT_EQ(refusal.startsWith("This was not stored. "), c.refused) << refusal.toStdString();
    }
}

} // namespace
