// The quillmart-restore command: the list of backups, restoring one by its number, and
// refusing while Quillmart holds the shop or when asked for a backup that is not there.
#include "connection.h"
#include "opendatabase.h"
#include "shopbackups.h"
#include "shopfile.h"
#include "toolrun.h"

#include <QDir>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

CommandResult restore(const QStringList &args, const QString &dataHome) {
    return runTool(QM_RESTORE_PATH, args, dataHome);
}

int sales(const QString &path) {
    Connection db = drivers::connect(path);
    return db.scalar("SELECT count(*) FROM soldbook").toInt();
}

} // namespace

TEST(RestoreCommand, ListsRestoresByNumberAndRefusesWhatIsNotSafe) {
    QTemporaryDir home;
    const QString path = home.filePath("Quillmart/book1.mdb");
    shopfile::create(path);
    {
        Connection db = drivers::connect(path);
        db.exec("INSERT INTO soldbook (ISBN, Qty) VALUES ('1', 1), ('2', 2)");
    }
    const ShopBackups backups(path);
    const QString older = backups.take(QDateTime(QDate(2026, 12, 6), QTime(18, 0)));
    {
        Connection db = drivers::connect(path);
        db.exec("INSERT INTO soldbook (ISBN, Qty) VALUES ('3', 3)");
    }
    backups.take(QDateTime(QDate(2026, 12, 7), QTime(18, 0)));
    {
        Connection db = drivers::connect(path);
        db.exec("DELETE FROM soldbook");
    }

    const CommandResult list = restore({}, home.path());
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.output.contains(
        QRegularExpression("1  2026-12-07 18:00:00 +3 +0 .*book1-20261207-180000\\.mdb\\.zst")))
        << list.output.toStdString();
    EXPECT_TRUE(list.output.contains(
        QRegularExpression("2  2026-12-06 18:00:00 +2 +0 .*book1-20261206-180000\\.mdb\\.zst")))
        << list.output.toStdString();

    struct Case {
        const char *what;
        QStringList args;
        bool holdLock;
        int exitCode;
        int salesAfter;
        const char *says;
    };
    const Case cases[] = {
        {"Quillmart is running", {"2"}, true, 3, 0, "close it first"},
        {"no such backup", {"9"}, false, 2, 0, "there is no backup 9"},
        {"backup 2 by number", {"2"}, false, 0, 2, "The earlier shop file is kept as"},
        {"a backup by its file name", {older}, false, 0, 2, "Restored book1-20261206"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QLockFile lock(path + ".lock");
        if (c.holdLock) {
            ASSERT_TRUE(lock.tryLock(0));
        }
        const int filesBefore = QDir(home.filePath("Quillmart")).entryList(QDir::Files).size();
        const CommandResult result = restore(c.args, home.path());
        EXPECT_EQ(result.exitCode, c.exitCode) << result.output.toStdString();
        EXPECT_TRUE(result.output.contains(c.says)) << result.output.toStdString();
        EXPECT_EQ(sales(path), c.salesAfter);
        const int filesAfter = QDir(home.filePath("Quillmart")).entryList(QDir::Files).size();
        EXPECT_EQ(filesAfter, filesBefore + (c.exitCode == 0 ? 1 : 0))
            << "a restore keeps the replaced file; a refusal changes nothing";
    }
}
