// The quillmart-createdb command: what it makes, and what it refuses with which exit code.
#include "connection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CommandResult {
    int exitCode;
    QString output;
};

CommandResult createdb(const QStringList &args, const QString &dataHome) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QM_CREATEDB_PATH, args);
    if (!process.waitForFinished(60000))
        return {-1, "did not finish"};
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

TEST(CreateDbCommand, CreatesAtTheDefaultPathThenRefusesToOverwrite) {
    QTemporaryDir home;
    const QString path = home.filePath("Quillmart/book1.mdb");

    const CommandResult first = createdb({"--demo"}, home.path());
    EXPECT_EQ(first.exitCode, 0) << first.output.toStdString();
    Connection db(path);
    EXPECT_GT(db.scalar("SELECT count(*) FROM soldbook").toInt(), 0);

    const CommandResult second = createdb({path}, home.path());
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_EQ(second.output.trimmed(),
              QString("quillmart-createdb: %1 already exists; nothing was changed.").arg(path));
    EXPECT_GT(db.scalar("SELECT count(*) FROM soldbook").toInt(), 0);
}

TEST(CreateDbCommand, WithoutDemoTheShopIsEmpty) {
    QTemporaryDir home;
    const QString path = home.filePath("elsewhere/shop.mdb");
    EXPECT_EQ(createdb({path}, home.path()).exitCode, 0);
    Connection db(path);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Titles").toInt(), 0);
    EXPECT_FALSE(QFile::exists(home.filePath("Quillmart/book1.mdb")));
}

TEST(CreateDbCommand, RejectsUnknownArgumentsAndMakesNothing) {
    QTemporaryDir home;
    for (const QStringList &args : {QStringList{"--demos"}, QStringList{"a.mdb", "b.mdb"}}) {
        const CommandResult run = createdb(args, home.path());
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.output.contains("Usage: quillmart-createdb"));
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}

} // namespace
