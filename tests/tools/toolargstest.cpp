// Every command-line tool reads its arguments the same way: --help and --version answered,
// a wrong argument refused with the usage and exit code 2, and nothing made meanwhile.
#include "toolrun.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ArgumentCase {
    const char *tool;
    QStringList args;
    int exitCode;
    QString firstLine; // %1: the tool's name
};

TEST(ToolArguments, HelpVersionAndWrongArgumentsAlikeInEveryTool) {
    const std::pair<const char *, const char *> tools[] = {
        {"quillmart-createdb", QM_CREATEDB_PATH},
        {"quillmart-copyshop", QM_COPYSHOP_PATH},
        {"quillmart-restore", QM_RESTORE_PATH},
        {"quillmart-genshop", QM_GENSHOP_PATH},
    };
    const ArgumentCase cases[] = {
        {"*", {"--help"}, 0, "Usage: %1 [options] "},
        {"*", {"--version"}, 0, "%1 1.4"},
        {"*", {"--bogus"}, 2, "%1: Unknown option 'bogus'."},
        {"quillmart-createdb", {"--server"}, 2, "%1: Missing value after '--server'."},
        {"quillmart-createdb", {"--demo", "--demo"}, 2, "%1: --demo is given twice."},
        {"quillmart-createdb",
         {"--locale", "en-GB", "a.mdb"},
         2,
         "%1: --locale is for a shop on a server."},
        {"quillmart-createdb", {"a.mdb", "b.mdb"}, 2, "%1: Unexpected argument 'b.mdb'."},
        {"quillmart-copyshop", {"--to-file", "dbname=shop"}, 2, "%1: FILE is missing."},
        {"quillmart-copyshop", {"a.mdb"}, 2, "%1: give either --to-server or --to-file."},
        {"quillmart-copyshop", {"--to-server", "", "a.mdb"}, 2, "%1: --to-server needs a value."},
        {"quillmart-restore", {"--shop"}, 2, "%1: Missing value after '--shop'."},
        {"quillmart-genshop", {}, 2, "%1: PATH is missing."},
        {"quillmart-genshop", {"--seed", "many", "a.mdb"}, 2, "%1: --seed needs a valid value."},
    };
    for (const auto &[name, program] : tools) {
        for (const ArgumentCase &c : cases) {
            if (qstrcmp(c.tool, "*") != 0 && qstrcmp(c.tool, name) != 0)
                continue;
            SCOPED_TRACE(QString("%1 %2").arg(name, c.args.join(' ')).toStdString());
            QTemporaryDir home;
            const CommandResult run = runTool(program, c.args, home.path());
            EXPECT_EQ(run.exitCode, c.exitCode) << run.output.toStdString();
            EXPECT_TRUE(run.output.section('\n', 0, 0).startsWith(c.firstLine.arg(name)))
                << run.output.toStdString();
            // A refused call shows how the tool is used, and makes nothing.
            if (c.exitCode != 0) {
                EXPECT_TRUE(run.output.contains(QString("Usage: %1 ").arg(name)));
            }
            EXPECT_TRUE(QDir(home.path()).isEmpty());
        }
    }
}

} // namespace
