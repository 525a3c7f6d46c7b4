// Creating a shop database file and filling it with the demo catalogue, through the data
// layer's connection, statements and transaction guard.
#include "shopfile.h"
#include "connection.h"
#include "dataerror.h"
#include "democatalogue.h"
#include "driver.h"
#include "opendatabase.h"
#include "privatefiles.h"
#include "receipts.h"
#include "shoptables.h"
#include "shopupgrade.h"

#include <QFile>
#include <QFileInfo>

namespace {

void removeFileAndJournals(const QString &path) {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + suffix);
}

} // namespace

namespace shopfile {

void create(const QString &path, std::span<const StepDescription> steps) {
    create(path, shopversion::newest(steps), steps);
}

void create(const QString &path, int version, std::span<const StepDescription> steps) {
    if (version < 1 || version > shopversion::newest(steps))
        throw DataError(QString("There is no shop version %1; this Quillmart makes versions 1 to "
                                "%2.")
                            .arg(version)
                            .arg(shopversion::newest(steps)));
    // The shop's folder and files are private to their owner: the shop's takings are nobody
    // else's business. A folder that is there already keeps its mode.
    const QFileInfo info(path);
    if (!privatefiles::makeFolder(info.absolutePath()))
        throw DataError(
            QString("Cannot create the folder %1 for the shop database.").arg(info.absolutePath()));
    // Claiming the name with an exclusive create is what makes overwriting impossible, even
    // when another program makes the file between a check and this line. The file is private
    // from its first byte; its -wal and -shm files take its mode.
    QString why;
    if (!privatefiles::createFile(path, &why))
        throw DataError(
            occupied(path)
                ? QString("The shop database %1 already exists; nothing was changed.").arg(path)
                : QString("Cannot create the shop database %1: %2").arg(path, why));
    try {
        Connection db = drivers::connect(path);
        Transaction transaction(db);
        db.exec(QString::fromUtf8(tables::fileSchemaSql));
        transaction.commit();
        const QString mode = db.scalar("PRAGMA journal_mode=WAL").toString();
        if (mode.compare("wal", Qt::CaseInsensitive) != 0)
            throw DataError(QString("Cannot put the shop database %1 in WAL mode.").arg(path));
        shopupgrade::makeSteps(*db.shop().driver().upgrader(db.shop()), steps, version);
    } catch (...) {
        // The file is ours and holds nothing yet: leave no half-made database behind.
        removeFileAndJournals(path);
        throw;
    }
}

bool occupied(const QString &path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void makeShop(const QString &path, Contents contents, const QDate &today, int version) {
    if (occupied(path))
        throw DataError(QString("%1 already exists; nothing was changed.").arg(path));
    create(path, version);
    try {
        if (contents == Contents::Demo)
            loadDemoCatalogue(path, today);
        if (version >= shop::receiptsVersion) {
            Connection db = drivers::connect(path);
            shop::addCounterDefaults(db, true);
        }
    } catch (const DataError &e) {
        // The file was made a moment ago and holds no data of anyone's: take it away again,
        // so that a second try starts clean.
        removeFileAndJournals(path);
        throw DataError(e.description() + " No file was left behind.");
    }
}

void loadDemoCatalogue(const QString &path, const QDate &today) {
    if (!QFileInfo::exists(path))
        throw DataError(QString("The shop database %1 does not exist.").arg(path));
    Connection db = drivers::connect(path);
    // The whole catalogue or nothing: a failure rolls back every table.
    Transaction transaction(db);
    for (const TableDescription &table : tables::all) {
        // The scratch tables may hold anything.
        if (!table.scratch &&
            db.scalar(QString("SELECT count(*) FROM [%1]").arg(table.name)).toInt() != 0)
            throw DataError(QString("The shop database %1 already holds data (table %2); "
                                    "the demo catalogue goes only into an empty one.")
                                .arg(path, table.name));
    }
    // The rows of each table, by one prepared INSERT naming the table's columns.
    for (const DemoTable &table : demoCatalogue(today)) {
        Statement insert = db.prepare(sqlb::insert(table.table, table.columns));
        for (const QVariantList &row : table.rows)
            insert.run(row);
    }
    transaction.commit();
}

} // namespace shopfile
