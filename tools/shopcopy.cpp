// Copying a whole shop between a file and a server: COPY in both directions, every row with
// its key, the numberings carried over, and the figures of both sides compared before the
// copy is kept.
#include "shopcopy.h"

#include "backupfile.h"
#include "copyvalues.h"
#include "dataerror.h"
#include "fileupgrade.h"
#include "pgschema.h"
#include "pgupgrade.h"
#include "shopfile.h"
#include "shopserver.h"
#include "shopsteps.h"
#include "shoptables.h"
#include "sqlbuilder.h"
#include "sqldialect.h"
#include "sqlitedialect.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace shopcopy {

namespace {

using copyvalues::TableFigures;

// Rows travel in pieces of about a megabyte.
constexpr int kPiece = 1 << 20;

QString serverColumns(const TableDescription &table) {
    QStringList names;
    if (table.autoNumber == nullptr)
        names << "\"rowid\"";
    for (const Column &column : table.columns)
        names << pgschema::quoted(column.name);
    return names.join(", ");
}

// The column whose numbering new rows on the server take: the auto-number, else the rowid.
QString numbered(const TableDescription &table) {
    return table.autoNumber ? pgschema::name(table.autoNumber->name) : QString("rowid");
}

TableFigures serverFigures(pgtool::Session &db, const TableDescription &table) {
    const pgtool::Result result = db.exec(copyvalues::serverFiguresSql(table));
    TableFigures figures;
    figures.rows = result.text(0, 0).toLongLong();
    figures.keys = result.text(0, 1).toLongLong();
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        copyvalues::ColumnFigure column;
        column.values = result.text(0, int(2 + 2 * i)).toLongLong();
        column.sum = copyvalues::digitsOf(result.bytes(0, int(3 + 2 * i)).toStdString());
        figures.columns.push_back(column);
    }
    return figures;
}

// `differences` holds what differs per table, empty for a table whose figures agree.
void compare(QStringList differences) {
    differences.removeAll(QString());
    if (!differences.isEmpty())
        throw DataError(
            QString("The copy does not agree with its source (%1).").arg(differences.join("; ")));
}

// The numbering of the table on the server continues after `largest`.
void continueNumbering(pgtool::Session &db, const TableDescription &table, long long largest) {
    const QString sequence = db.scalar("SELECT pg_get_serial_sequence($1, $2)",
                                       {pgschema::quoted(table.name), numbered(table)});
    if (sequence.isNull())
        throw DataError(QString("The %1 has no numbering for %2.%3.")
                            .arg(db.describe(), pgschema::name(table.name), numbered(table)));
    if (largest > 0)
        db.exec("SELECT setval($1::regclass, $2, true)", {sequence, QString::number(largest)});
    else
        db.exec("SELECT setval($1::regclass, 1, false)", {sequence});
}

long long fileLargest(SqliteFile &file, const TableDescription &table) {
    long long value = file.integer(QString("SELECT max(rowid) FROM [%1]").arg(table.name));
    if (table.autoNumber) {
        // The file never gives a number twice, even one of a row deleted since.
        SqliteStatement used(file,
                             "SELECT seq FROM sqlite_sequence WHERE name = ?1 COLLATE NOCASE");
        used.bind(1, QString(table.name));
        if (used.step())
            value = std::max(value, (long long)used.whole(0));
    }
    return value;
}

// A journal left beside the name by an earlier file of that name would be taken for the new
// file's own the first time it opens, and its rows laid over the copy's.
void refuseLeftovers(const QString &file) {
    QStringList found;
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        const QFileInfo leftover(file + suffix);
        if (leftover.exists() || leftover.isSymLink())
            found << leftover.fileName();
    }
    if (!found.isEmpty())
        throw DataError(QString("%1 lies beside %2: the journal of an earlier shop file of that "
                                "name, which SQLite would take for the new file's own. Move it "
                                "away with the file it belongs to (it may hold that shop's last "
                                "changes) and copy again.")
                            .arg(found.join(" and "), file));
}

// SQLite's own check of every page and index of the finished file.
void checkIntegrity(SqliteFile &file) {
    SqliteStatement check(file, "PRAGMA integrity_check");
    QStringList problems;
    while (check.step())
        problems << check.string(0);
    if (problems != QStringList{"ok"})
        throw DataError(QString("The copy failed SQLite's integrity check (%1).")
                            .arg(problems.mid(0, 5).join("; ")));
}

// Gives the finished file its name, never replacing a file that took the name meanwhile.
void claimName(const QString &temporary, const QString &file) {
    const QByteArray from = QFile::encodeName(temporary), to = QFile::encodeName(file);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return;
    if (errno == EINVAL || errno == ENOSYS) { // a file system without it: link, then unlink
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return;
        }
    }
    throw DataError(QString("Cannot name the copy %1: %2").arg(file, std::strerror(errno)));
}

// The tables whose rows are copied: every table of the version but the scratch tables. The
// version table is among them: its one row, which the target already has, is replaced by the
// source's.
std::vector<const TableDescription *> copiedTables(const ShopVersion &version) {
    std::vector<const TableDescription *> copied;
    for (const TableDescription *table : shopversion::tablesOf(version.number, steps::all))
        if (!table->scratch)
            copied.push_back(table);
    return copied;
}

bool isVersionTable(const TableDescription &table) {
    return std::strcmp(table.name, tables::shopversion::table) == 0;
}

// A shop of a version this tool knows all the tables of.
void refuseNewer(const ShopVersion &version, const QString &shop) {
    const int newest = shopversion::newest(steps::all);
    if (version.number > newest)
        throw DataError(QString("%1 is of version %2, and this Quillmart knows the tables of "
                                "versions 1 to %3 alone: copy it with a newer Quillmart.")
                            .arg(shop)
                            .arg(version.number)
                            .arg(newest));
}

void checkTablesEmpty(pgtool::Session &db, const std::vector<const TableDescription *> &tables) {
    QStringList names, full;
    for (const TableDescription *table : tables)
        names << pgschema::quoted(table->name);
    // Nobody writes into them while the shop is copied in.
    db.exec(QString("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(names.join(", ")));
    for (const TableDescription *table : tables) {
        if (!isVersionTable(*table) &&
            db.scalar(
                QString("SELECT EXISTS (SELECT FROM %1)").arg(pgschema::quoted(table->name))) ==
                "t")
            full << pgschema::name(table->name);
    }
    if (!full.isEmpty())
        throw DataError(QString("The %1 already holds a shop (rows in %2); a shop is copied only "
                                "into empty tables.")
                            .arg(db.describe(), full.join(", ")));
}

} // namespace

ShopVersion fileVersion(const QString &path) {
    if (!QFileInfo(path).isFile())
        throw DataError(QString("The shop file %1 does not exist.").arg(path));
    SqliteFile file(path, SqliteFile::Mode::ReadOnly);
    const ShopVersion version = filesteps::version(file, steps::all);
    refuseNewer(version, QString("The shop file %1").arg(path));
    return version;
}

Copied fillServer(pgtool::Session &db, const QString &path) {
    if (!QFileInfo(path).isFile())
        throw DataError(QString("The shop file %1 does not exist.").arg(path));
    SqliteFile file(path, SqliteFile::Mode::ReadOnly);
    file.exec("BEGIN"); // one moment of the file, even while it is being used
    const ShopVersion version = filesteps::version(file, steps::all);
    refuseNewer(version, QString("The shop file %1").arg(path));
    const std::vector<const TableDescription *> tables = copiedTables(version);
    checkTablesEmpty(db, tables);
    db.exec("SET LOCAL maintenance_work_mem = '256MB'");
    Copied copied;
    QStringList differences;
    for (const TableDescription *described : tables) {
        const TableDescription &table = *described;
        if (isVersionTable(table))
            db.exec(QString("DELETE FROM %1").arg(pgschema::quoted(table.name)));
        SqliteStatement select(file, copyvalues::fileRowsSql(table));
        // Indexes are quicker made once over all the rows than kept up row by row.
        const pgtool::Result indexes =
            db.exec("SELECT indexrelid::regclass::text, pg_get_indexdef(indexrelid) FROM pg_index "
                    "WHERE indrelid = $1::regclass AND NOT indisunique",
                    {pgschema::quoted(table.name)});
        for (int i = 0; i < indexes.rows(); ++i)
            db.exec("DROP INDEX " + indexes.text(i, 0));
        TableFigures source;
        source.columns.resize(table.columns.size());
        db.copyIn(QString("COPY %1 (%2) FROM STDIN")
                      .arg(pgschema::quoted(table.name), serverColumns(table)),
                  [&](QByteArray &buffer) {
                      while (buffer.size() < kPiece) {
                          if (!select.step())
                              return false;
                          copyvalues::appendFileRow(buffer, select, table, source);
                      }
                      return true;
                  });
        for (int i = 0; i < indexes.rows(); ++i)
            db.exec(indexes.text(i, 1));
        differences << copyvalues::differences(table, source, serverFigures(db, table));
        continueNumbering(db, table, fileLargest(file, table));
        copied.emplace_back(table.name, source.rows);
    }
    file.exec("COMMIT");
    compare(differences);
    return copied;
}

void fillServerWithDemo(pgtool::Session &db, const QDate &today) {
    QTemporaryDir folder;
    if (!folder.isValid())
        throw DataError("Cannot make a temporary folder for the demo catalogue.");
    const QString path = folder.filePath("demo.mdb");
    // Of the server shop's version, which is copied only into its own.
    ServerUpgrade server(db, ServerUpgrade::Transactions::Callers);
    shopfile::makeShop(path, shopfile::Contents::Demo, today,
                       shopversion::read(server, steps::all).number);
    fillServer(db, path);
}

Copied fileToServer(const QString &file, const QString &conninfo, const QString &locale) {
    const ShopVersion version = fileVersion(file);
    pgtool::Session db(conninfo);
    db.exec("BEGIN");
    if (shopserver::existingTables(db).isEmpty()) {
        shopserver::createSchema(db, locale, version.number);
    } else if (const ShopVersion there = shopserver::checkSchema(db);
               there.number != version.number) {
        throw DataError(QString("The %1 holds the tables of a shop of version %2, and the file is "
                                "of version %3: upgrade the older of the two with "
                                "quillmart-upgrade first.")
                            .arg(db.describe())
                            .arg(there.number)
                            .arg(version.number));
    }
    const Copied copied = fillServer(db, file);
    db.exec("COMMIT");
    // The planner learns the new rows' spread now, not when the server next gets round to
    // it: the tills' first queries on a large shop would otherwise guess their plans. The
    // shop's tables only: the rest of the database is not the shop owner's to analyze.
    QStringList names;
    for (const TableDescription *table : shopversion::tablesOf(version.number, steps::all))
        names << pgschema::quoted(table->name);
    db.exec("ANALYZE " + names.join(", "));
    return copied;
}

Copied serverToFile(const QString &conninfo, const QString &file) {
    if (shopfile::occupied(file))
        throw DataError(QString("%1 already exists; nothing was changed.").arg(file));
    refuseLeftovers(file);
    pgtool::Session db(conninfo);
    // One moment of the shop, while the tills go on selling.
    db.exec("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
    const ShopVersion version = shopserver::checkSchema(db);
    refuseNewer(version, QString("The shop in the %1").arg(db.describe()));

    const QFileInfo info(file);
    const QString temporary =
        info.absoluteDir().filePath(QString(".%1.copying-%2-%3")
                                        .arg(info.fileName())
                                        .arg(QCoreApplication::applicationPid())
                                        .arg(QRandomGenerator::global()->generate()));
    shopfile::create(temporary, version.number);
    Copied copied;
    try {
        SqliteFile out(temporary, SqliteFile::Mode::ReadWrite);
        // A file nobody else knows yet: written without a journal, made safe at the end.
        out.exec("PRAGMA journal_mode = OFF");
        out.exec("PRAGMA synchronous = OFF");
        out.exec("BEGIN");
        const QStringList indexes = out.dropIndexes();
        QStringList differences;
        for (const TableDescription *described : copiedTables(version)) {
            const TableDescription &table = *described;
            if (isVersionTable(table))
                out.exec(QString("DELETE FROM [%1]").arg(table.name));
            QStringList names = columnNames(table.columns);
            if (table.autoNumber == nullptr)
                names.prepend("rowid");
            SqliteStatement insert(
                out, engines::fileDialect().render(sqlb::insert(table.name, names)).sql);
            const int skip = table.autoNumber ? 1 : 0; // the auto-number is the rowid
            long long rows = 0;
            db.copyOut(
                QString("COPY (SELECT \"rowid\", %1 FROM %2 ORDER BY \"rowid\") TO STDOUT")
                    .arg(serverColumns(table).remove("\"rowid\", "), pgschema::quoted(table.name)),
                [&](const char *line, int size) {
                    int field = 0, start = 0;
                    for (int i = 0; i <= size; ++i) {
                        if (i < size && line[i] != '\t')
                            continue;
                        if (field >= skip) {
                            const ColumnKind kind =
                                field == 0 ? ColumnKind::Whole : table.columns[field - 1].kind;
                            copyvalues::bindServerValue(insert, field + 1 - skip, line + start,
                                                        i - start, kind);
                        }
                        ++field;
                        start = i + 1;
                    }
                    insert.step();
                    insert.reset();
                    ++rows;
                });
            if (table.autoNumber) {
                // The file goes on numbering where the server would have.
                const QString last =
                    db.scalar("SELECT coalesce(pg_sequence_last_value(pg_get_serial_sequence($1, "
                              "$2)::regclass), 0)",
                              {pgschema::quoted(table.name), numbered(table)});
                // Raised in the file's record of the largest numbers given, or added to it.
                for (const char *sql :
                     {"UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1",
                      "INSERT INTO sqlite_sequence (name, seq) SELECT ?1, ?2 "
                      "WHERE ?2 > 0 AND changes() = 0"}) {
                    SqliteStatement number(out, sql);
                    number.bind(1, QString(table.name));
                    number.bind(2, last.toLongLong());
                    number.step();
                }
            }
            differences << copyvalues::differences(table, serverFigures(db, table),
                                                   copyvalues::fileFigures(out, table));
            copied.emplace_back(table.name, rows);
        }
        for (const QString &index : indexes)
            out.exec(index);
        compare(differences);
        out.exec("COMMIT");
        checkIntegrity(out);
        out.exec("PRAGMA journal_mode = WAL");
    } catch (...) {
        SqliteFile::remove(temporary);
        throw;
    }
    try {
        backupfile::syncToDisk(temporary);
        refuseLeftovers(file);
        claimName(temporary, file);
    } catch (...) {
        SqliteFile::remove(temporary);
        throw;
    }
    backupfile::syncToDisk(info.absolutePath());
    db.exec("COMMIT");
    return copied;
}

} // namespace shopcopy
