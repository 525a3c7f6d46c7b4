// Backups: a consistent copy at exit, the newest seven kept, a damaged file named at start
// with the newest good backup, and a restore that brings every row back.
#include "connection.h"
#include "dataerror.h"
#include "reliabilitysupport.h"
#include "shopbackups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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
        Connection db(path);
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
        Connection db(path);
        return snapshot(db, permanentTables());
    }

    // Writes garbage over one page of a closed file (1: its header).
    static void damagePage(const QString &file, int page) {
        int pageSize = 0;
        {
            Connection db(file);
            pageSize = db.scalar("PRAGMA page_size").toInt();
        }
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(static_cast<qint64>(page - 1) * pageSize));
        f.write(QByteArray(page == 1 ? 100 : pageSize, '\x5a'));
    }

    int titlesRootPage() {
        Connection db(path);
        return db.scalar("SELECT rootpage FROM sqlite_master WHERE name='Titles'").toInt();
    }

    QTemporaryDir dir;
    QString path;
    Snapshot before;
};

} // namespace

TEST_F(BackupShop, RestoringTheNewestBackupBringsBackEveryRow) {
    ShopBackups backups(path);
    const QString copy = backups.take(exitTime);
    EXPECT_EQ(QFileInfo(copy).fileName(), "book1-20261207-231500.mdb");
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QDir(dir.path()).filePath("backups"));
    EXPECT_FALSE(QFileInfo::exists(copy + "-wal")) << "a backup is one self-contained file";

    // Later work, then the file is lost; the operator restores as the README says.
    {
        Connection db(path);
        db.exec("DELETE FROM Titles; DELETE FROM soldbook");
    }
    QFile::remove(path);
    QFile::remove(path + "-wal");
    QFile::remove(path + "-shm");
    ASSERT_TRUE(QFile::copy(backups.newestGood(), path));
    EXPECT_EQ(current(), before);
    Connection db(path);
    EXPECT_EQ(integrityCheck(db), "ok");
    EXPECT_EQ(db.scalar("PRAGMA journal_mode").toString(), "wal") << "restored as it was made";
}

TEST_F(BackupShop, CopyHoldsOnlyCommittedWorkWhileAnotherConnectionWrites) {
    Connection writer(path);
    writer.exec("BEGIN IMMEDIATE; INSERT INTO soldbook (ISBN, Qty) VALUES ('uncommitted', 1)");
    const QString copy = ShopBackups(path).take(exitTime);
    writer.exec("ROLLBACK");

    Connection restored(copy);
    EXPECT_EQ(snapshot(restored, permanentTables()), before);
}

TEST_F(BackupShop, KeepsTheNewestSevenInTimeOrder) {
    ShopBackups backups(path);
    for (int day = 1; day <= 9; ++day)
        backups.take(QDateTime(QDate(2026, 12, day), QTime(18, 0, 5)));
    QStringList names;
    for (const QString &file : backups.list())
        names << QFileInfo(file).fileName();
    EXPECT_EQ(names, QStringList({"book1-20261209-180005.mdb", "book1-20261208-180005.mdb",
                                  "book1-20261207-180005.mdb", "book1-20261206-180005.mdb",
                                  "book1-20261205-180005.mdb", "book1-20261204-180005.mdb",
                                  "book1-20261203-180005.mdb"}));
    EXPECT_EQ(QDir(backups.folder()).entryList(QDir::Files).size(), 7) << "no leftovers";
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
        damagePage(newer, titlesRootPage()); // the newest backup went bad as well
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
