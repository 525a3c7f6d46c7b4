// The quillmart-createdb command: what it makes, and what it refuses with which exit code.
#include "connection.h"
#include "opendatabase.h"
#include "shopbackups.h"
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

CommandResult createdb(const QStringList &args, const QString &dataHome) {
    return runTool(QM_CREATEDB_PATH, args, dataHome);
}

TEST(CreateDbCommand, CreatesAtTheDefaultPathThenRefusesToOverwrite) {
    QTemporaryDir home;
    const QString path = home.filePath("Quillmart/book1.mdb");

    const CommandResult first = createdb({"--demo"}, home.path());
    EXPECT_EQ(first.exitCode, 0) << first.output.toStdString();
    Connection db = drivers::connect(path);
    EXPECT_GT(db.scalar("SELECT count(*) FROM soldbook").toInt(), 0);

    const CommandResult second = createdb({path}, home.path());
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_EQ(second.output.trimmed(),
              QString("quillmart-createdb: %1 already exists; nothing was changed.").arg(path));
    EXPECT_GT(db.scalar("SELECT count(*) FROM soldbook").toInt(), 0);
}

// The shop's folder, database, its -wal and -shm files and its backups are its owner's alone,
// even where the account lets new files be read by everyone; a folder that was there keeps
// the mode its owner gave it.
TEST(CreateDbCommand, TheShopIsPrivateToItsOwner) {
    QTemporaryDir home;
    ASSERT_EQ(::chmod(QFile::encodeName(home.path()).constData(), 0755), 0);
    const mode_t before = ::umask(022);
    const QString dataHome = home.filePath("share");
    const QString path = dataHome + "/Quillmart/book1.mdb";
    ASSERT_EQ(createdb({"--demo"}, dataHome).exitCode, 0);
    Connection db = drivers::connect(path);
    db.exec("UPDATE Titles SET Qty = Qty + 1"); // the -wal and -shm files now exist
    const QString backup = ShopBackups(path).take(QDateTime(QDate(2026, 5, 3), QTime(18, 0)));
    ::umask(before);

    const std::pair<QString, mode_t> expected[] = {
        {home.path(), 0755},
        {dataHome, 0700},
        {dataHome + "/Quillmart", 0700},
        {path, 0600},
        {path + "-wal", 0600},
        {path + "-shm", 0600},
        {dataHome + "/Quillmart/backups", 0700},
        {backup, 0600},
    };
    for (const auto &[file, mode] : expected) {
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0) << file.toStdString();
        EXPECT_EQ(info.st_mode & 0777, mode) << file.toStdString();
    }
}

TEST(CreateDbCommand, WithoutDemoTheShopIsEmpty) {
    QTemporaryDir home;
    const QString path = home.filePath("elsewhere/shop.mdb");
    EXPECT_EQ(createdb({path}, home.path()).exitCode, 0);
    Connection db = drivers::connect(path);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Titles").toInt(), 0);
    EXPECT_FALSE(QFile::exists(home.filePath("Quillmart/book1.mdb")));
}

TEST(CreateDbCommand, RejectsUnknownArgumentsAndMakesNothing) {
    QTemporaryDir home;
    for (const QStringList &args : {QStringList{"--demos"}, QStringList{"a.mdb", "b.mdb"}}) {
        const CommandResult run = createdb(args, home.path());
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.output.contains("Usage: quillmart-createdb"));
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}

} // namespace
