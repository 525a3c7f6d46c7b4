// Backups: a consistent, compressed copy, kept by age over a year of use, a damaged file
// named at start with the newest good backup and refused every write, and a restore that
// brings every row back and keeps the file it replaces.
#include "commitgate.h"
#include "connection.h"
#include "dataerror.h"
#include "opendatabase.h"
#include "reliabilitysupport.h"
#include "sellscreen.h"
#include "shopbackups.h"
#include "startcheck.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

using namespace reliability;

namespace {

const QDateTime exitTime(QDate(2026, 12, 7), QTime(23, 15, 0));

// A shop file with a row in every permanent table, Traditional Chinese text included.
class BackupShop : public ::testing::Test {
protected:
    void SetUp() override {
        path = createShopFile(dir.path());
        Connection db = drivers::connect(path);
        db.exec(QString::fromUtf8(
            "INSERT INTO Titles (ISBN, Title, Author, [Sale Price], Qty, SafeQty, Retail) "
            "VALUES ('9789570000001', '紅樓夢', '曹雪芹', 350, 12, 3, '臺北書局');"
            "INSERT INTO Subject VALUES ('S1', 'Fiction');"
            "INSERT INTO publishers (PubID, Name) VALUES ('P1', 'O''Hara Press');"
            "INSERT INTO retail (RetName) VALUES ('臺北書局');"
            "INSERT INTO soldbook VALUES ('2001-05-03', '10:30:00', '9789570000001', '紅樓夢', "
            "350, 2);"
            "INSERT INTO onsale VALUES ('9789570000001', 300, '2001-05-01', '2001-05-31');"
            "INSERT INTO Bill VALUES ('A-1', '2001-05-03', 120, '09:00:00', '臺北書局');"
            "INSERT INTO paidbill VALUES ('A-0', '2001-04-03', 80, '09:00:00', '臺北書局', "
            "'2001-05-01');"));
        before = snapshot(db, permanentTables());
    }

    Snapshot current() {
        Connection db = drivers::connect(path);
        return snapshot(db, permanentTables());
    }

    // Writes garbage over one page of a closed file (1: its header).
    static void damagePage(const QString &file, int page) {
        int pageSize = 0;
        {
            Connection db = drivers::connect(file);
            pageSize = db.scalar("PRAGMA page_size").toInt();
        }
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(static_cast<qint64>(page - 1) * pageSize));
        f.write(QByteArray(page == 1 ? 100 : pageSize, '\x5a'));
    }

    int rootPage(const char *table) {
        Connection db = drivers::connect(path);
        return db
            .scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name='%1'")
                        .arg(QLatin1String(table)))
            .toInt();
    }
    int titlesRootPage() { return rootPage("Titles"); }

    // Writes garbage into the middle of a compressed backup.
    static void damageBackup(const QString &file) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(f.size() / 2));
        f.write(QByteArray(64, '\x5a'));
    }

    QStringList names(const ShopBackups &backups) {
        QStringList result;
        for (const QString &file : backups.list())
            result << QFileInfo(file).fileName();
        return result;
    }

    QTemporaryDir dir;
    QString path;
    Snapshot before;
};

} // namespace

TEST_F(BackupShop, RestoreBringsBackEveryRowAndKeepsTheFileItReplaces) {
    ShopBackups backups(path);
    const QString copy = backups.take(exitTime);
    EXPECT_EQ(QFileInfo(copy).fileName(), "book1-20261207-231500.mdb.zst");
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QDir(dir.path()).filePath("backups"));
    EXPECT_EQ(QFileInfo(copy).permissions() & 0x0077, 0) << "private to its owner";
    EXPECT_EQ(QFileInfo(backups.folder()).permissions() & 0x0077, 0);
    const std::vector<BackupEntry> entries = backups.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].facts.sales, 1);
    EXPECT_EQ(entries[0].facts.titles, 1);
    EXPECT_LT(entries[0].fileBytes * 3, QFileInfo(path).size()) << "compressed";

    // Later work, still in the -wal of a connection that is open until just before the
    // restore; then the operator restores the backup.
    Snapshot later;
    {
        Connection db = drivers::connect(path);
        db.exec("PRAGMA wal_autocheckpoint=0; DELETE FROM Titles; INSERT INTO soldbook (ISBN, "
                "Qty) VALUES ('later', 7)");
        later = snapshot(db, permanentTables());
    }
    const QString aside = backups.restore(copy, exitTime.addDays(2));
    EXPECT_EQ(QFileInfo(aside).fileName(), "book1-before-restore-20261209-231500.mdb");
    EXPECT_EQ(current(), before);
    {
        Connection db = drivers::connect(path);
        EXPECT_EQ(integrityCheck(db), "ok");
        EXPECT_EQ(db.scalar("PRAGMA journal_mode").toString(), "wal") << "restored as it was made";
    }
    Connection kept = drivers::connect(aside);
    EXPECT_EQ(snapshot(kept, permanentTables()), later) << "the replaced file lost nothing";
    EXPECT_EQ(backups.list(), QStringList({copy})) << "the backup itself stays";
}

TEST_F(BackupShop, RestoreOfADamagedBackupChangesNothing) {
    ShopBackups backups(path);
    const QString copy = backups.take(exitTime);
    damageBackup(copy);
    {
        Connection db = drivers::connect(path);
        db.exec("DELETE FROM onsale");
    }
    const Snapshot now = current();
    EXPECT_THROW(backups.restore(copy, exitTime.addDays(1)), DataError);
    EXPECT_EQ(current(), now);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"book1.mdb"}))
        << "nothing kept aside, nothing left over";
}

TEST_F(BackupShop, CopyHoldsOnlyCommittedWorkWhileAnotherConnectionWrites) {
    Connection writer = drivers::connect(path);
    writer.exec("BEGIN IMMEDIATE; INSERT INTO soldbook (ISBN, Qty) VALUES ('uncommitted', 1)");
    const QString copy = ShopBackups(path).take(exitTime);
    writer.exec("ROLLBACK");

    const QString unpacked = dir.filePath("unpacked.mdb");
    backupfile::unpack(copy, unpacked);
    Connection restored = drivers::connect(unpacked);
    EXPECT_EQ(snapshot(restored, permanentTables()), before);
}

// A year of use with a clock: open six days a week, closed for two weeks in August and for
// five weeks after new year; two backups on Saturdays. What is kept at each moment is the
// newest of each of the last 7 days, 4 weeks and 12 months, and a closed day adds nothing.
TEST_F(BackupShop, KeepsHistoryByAgeOverAYearOfUse) {
    const auto open = [](const QDate &day) {
        return day.dayOfWeek() != Qt::Sunday &&
               !(day >= QDate(2026, 8, 3) && day <= QDate(2026, 8, 16)) &&
               !(day >= QDate(2027, 1, 1) && day <= QDate(2027, 2, 9));
    };
    struct Checkpoint {
        QDate day;
        QStringList kept; // stamps, newest first
    };
    const Checkpoint checkpoints[] = {
        {QDate(2026, 3, 14),
         {"20260314-183000", "20260313-120000", "20260312-120000", "20260311-120000",
          "20260310-120000", "20260309-120000", "20260307-183000", "20260228-183000",
          "20260221-183000", "20260131-183000"}},
        {QDate(2026, 12, 31),
         {"20261231-120000", "20261230-120000", "20261229-120000", "20261228-120000",
          "20261226-183000", "20261225-120000", "20261219-183000", "20261212-183000",
          "20261130-120000", "20261031-183000", "20260930-120000", "20260831-120000",
          "20260731-120000", "20260630-120000", "20260530-183000", "20260430-120000",
          "20260331-120000", "20260228-183000", "20260131-183000"}},
        {QDate(2027, 2, 10),
         {"20270210-120000", "20261231-120000", "20261130-120000", "20261031-183000",
          "20260930-120000", "20260831-120000", "20260731-120000", "20260630-120000",
          "20260530-183000", "20260430-120000", "20260331-120000"}},
    };
    ShopBackups backups(path);
    QDate day(2026, 1, 1);
    for (const Checkpoint &checkpoint : checkpoints) {
        for (; day <= checkpoint.day; day = day.addDays(1)) {
            if (!open(day))
                continue;
            backups.take(QDateTime(day, QTime(12, 0, 0)));
            if (day.dayOfWeek() == Qt::Saturday)
                backups.take(QDateTime(day, QTime(18, 30, 0)));
        }
        SCOPED_TRACE(checkpoint.day.toString(Qt::ISODate).toStdString());
        QStringList expected;
        for (const QString &stamp : checkpoint.kept)
            expected << "book1-" + stamp + ".mdb.zst";
        EXPECT_EQ(names(backups), expected);
        EXPECT_EQ(QDir(backups.folder()).entryList(QDir::Files).size(), expected.size())
            << "no leftovers";
    }
}

TEST_F(BackupShop, SoundOrMissingFileGivesNoWarningAtStart) {
    EXPECT_EQ(ShopBackups(path).startWarning(), "");
    EXPECT_EQ(ShopBackups(QDir(dir.path()).filePath("none/book1.mdb")).startWarning(), "");
}

TEST_F(BackupShop, DamagedFileIsNamedWithTheNewestGoodBackup) {
    struct Case {
        const char *what;
        bool damageHeader;
    };
    for (const Case c : {Case{"header overwritten", true}, Case{"table page overwritten", false}}) {
        SCOPED_TRACE(c.what);
        ShopBackups backups(path);
        const QString older = backups.take(exitTime.addDays(-1));
        const QString newer = backups.take(exitTime);
        damageBackup(newer); // the newest backup went bad as well
        const int page = c.damageHeader ? 1 : titlesRootPage();
        QFile::copy(path, path + ".orig");
        damagePage(path, page);

        const QString warning = backups.startWarning();
        EXPECT_TRUE(warning.contains("The shop database " + path + " is damaged"))
            << warning.toStdString();
        EXPECT_TRUE(warning.contains("The newest good backup is " + older + "."))
            << warning.toStdString();
        EXPECT_FALSE(warning.contains(newer)) << warning.toStdString();

        // A backup taken from the damaged file is refused; the good one stays.
        EXPECT_THROW(backups.take(exitTime.addSecs(60)), DataError);
        EXPECT_EQ(backups.list(), QStringList({newer, older}));
        EXPECT_EQ(QDir(backups.folder()).entryList(QDir::Files).size(), 2) << "no leftovers";
        QString problem;
        EXPECT_FALSE(ShopBackups::passesCheck(newer, &problem));
        EXPECT_TRUE(problem.contains("is damaged")) << problem.toStdString();

        QFile::remove(path);
        QFile::rename(path + ".orig", path);
        QDir(backups.folder()).removeRecursively();
    }
}

TEST_F(BackupShop, DamagedFileWithoutGoodBackupSaysSo) {
    damagePage(path, titlesRootPage());
    const QString warning = ShopBackups(path).startWarning();
    EXPECT_TRUE(warning.contains("No good backup was found in " + ShopBackups(path).folder()))
        << warning.toStdString();
}

TEST_F(BackupShop, MissingFileMakesNoBackup) {
    ShopBackups backups(QDir(dir.path()).filePath("gone.mdb"));
    try {
        backups.take(exitTime);
        FAIL() << "a backup of nothing";
    } catch (const DataError &error) {
        EXPECT_TRUE(error.description().contains("The shop database file is missing: "))
            << error.description().toStdString();
    }
    EXPECT_TRUE(backups.list().isEmpty());
}

// The check at start runs beside the open window. Until it ends a commit waits for it; once
// it has found the file damaged, a sale is refused whole, the operator reads why and which
// backup to restore, and what was typed stays in its boxes.
TEST_F(BackupShop, DamagedFileTakesNoWriteAfterTheStartCheck) {
    struct Case {
        const char *what;
        bool damaged;
        bool checkStillRunning; // the verdict comes while the sale waits for it
    };
    const Case cases[] = {{"sound file", false, false},
                          {"damaged, check done", true, false},
                          {"damaged, check still running", true, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir caseDir;
        const QString shop = createShopFile(caseDir.path());
        {
            Connection db = drivers::connect(shop);
            db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES ('111', 'Short', "
                    "12.5, 10); INSERT INTO paidbill VALUES ('A-0', '2001-04-03', 80, "
                    "'09:00:00', 'Ace', '2001-05-01')");
        }
        const QString good = ShopBackups(shop).take(exitTime);
        if (c.damaged) {
            int page = 0;
            {
                Connection db = drivers::connect(shop);
                page =
                    db.scalar("SELECT rootpage FROM sqlite_master WHERE name='paidbill'").toInt();
            }
            damagePage(shop, page);
        }
        TestShop counter;
        counter.context.shop = drivers::open(shop);
        SellScreen screen(counter.context);
        StartCheck check(counter.context.shop);
        QString warning;
        QObject::connect(&check, &StartCheck::damaged, [&](const QString &w) { warning = w; });
        std::unique_ptr<QThread> verdictLater;
        if (c.checkStillRunning) {
            // As check.start() does, with the verdict held back.
            counter.context.shop.commitGate().checking();
            verdictLater.reset(QThread::create([&] {
                QThread::msleep(300);
                check.start();
            }));
            verdictLater->start();
        } else {
            check.start();
            check.wait();
            EXPECT_EQ(warning.contains("The newest good backup is " + good), c.damaged)
                << warning.toStdString();
        }
        screen.findChild<QLineEdit *>("Text1")->setText("111");
        screen.findChild<QLineEdit *>("Text2")->setText("2");
        screen.lookup();
        screen.findChild<QPushButton *>("Command2")->click();
        if (verdictLater)
            verdictLater->wait();
        check.wait();

        Connection db = drivers::connect(shop);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM soldbook").toInt(), c.damaged ? 0 : 1);
        EXPECT_EQ(db.scalar("SELECT Qty FROM Titles").toInt(), c.damaged ? 10 : 8);
        const QStringList shown = counter.messages.texts();
        if (c.damaged) {
            ASSERT_EQ(shown.size(), 1) << shown.join("|").toStdString();
            EXPECT_TRUE(
                shown[0].contains("This was not stored. The shop database " + shop + " is damaged"))
                << shown[0].toStdString();
            EXPECT_TRUE(shown[0].contains(good)) << "names the backup to restore";
            EXPECT_EQ(screen.findChild<QLineEdit *>("Text1")->text(), "111");
            EXPECT_EQ(screen.findChild<QLineEdit *>("Text2")->text(), "2");
        } else {
            EXPECT_TRUE(shown.isEmpty()) << shown.join("|").toStdString();
        }
    }
}

// A count a backup does not know (one an older version made) shows as "?" in both lists of
// backups, the tool's and the restore command's.
TEST(BackupFacts, CountShownOrQuestionMark) {
    const std::pair<qint64, const char *> cases[] = {{-1, "?"}, {0, "0"}, {1234567, "1234567"}};
    for (const auto &[count, shown] : cases)
        EXPECT_EQ(backupfile::countText(count), QString::fromLatin1(shown)) << count;
}
