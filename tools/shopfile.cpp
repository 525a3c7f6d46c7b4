// Creating a shop database file and filling it with the demo catalogue, straight through
// the SQLite C API: the file is new, so nothing of the screens' data layer is needed.
#include "shopfile.h"

#include "dataerror.h"
#include "democatalogue.h"
#include "schemasql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

// One open database file; every failure becomes a DataError naming the file.
class ShopFile {
public:
    explicit ShopFile(const QString &path) : path_(path) {
        // Read-write without create: the file must be there already.
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            fail("Cannot open");
        sqlite3_busy_timeout(db_, 15000);
    }
    ~ShopFile() { sqlite3_close_v2(db_); }
    ShopFile(const ShopFile &) = delete;
    ShopFile &operator=(const ShopFile &) = delete;

    void exec(const QString &sql) {
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("Cannot write");
    }

    QString text(const QString &sql) {
        sqlite3_stmt *stmt = prepare(sql);
        QString result;
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            result =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail("Cannot read");
        return result;
    }

    void insert(const DemoTable &table) {
        QStringList names, marks;
        for (const QString &column : table.columns) {
            names << "[" + column + "]";
            marks << "?";
        }
        sqlite3_stmt *stmt = prepare(QString("INSERT INTO [%1] (%2) VALUES (%3)")
                                         .arg(table.table, names.join(", "), marks.join(", ")));
        for (const QVariantList &row : table.rows) {
            for (int i = 0; i < row.size(); ++i)
                bind(stmt, i + 1, row[i]);
            const int rc = sqlite3_step(stmt);
            sqlite3_reset(stmt);
            if (rc != SQLITE_DONE) {
                sqlite3_finalize(stmt);
                fail("Cannot write to table " + table.table + " of");
            }
        }
        sqlite3_finalize(stmt);
    }

private:
    sqlite3_stmt *prepare(const QString &sql) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            fail("Cannot read");
        return stmt;
    }

    static void bind(sqlite3_stmt *stmt, int index, const QVariant &value) {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        default:
            if (value.isNull()) {
                sqlite3_bind_null(stmt, index);
            } else {
                const QByteArray utf8 = value.toString().toUtf8();
                sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                                  SQLITE_TRANSIENT);
            }
        }
    }

    [[noreturn]] void fail(const QString &what) {
        const QString reason = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : "out of memory";
        throw DataError(QString("%1 the shop database %2: %3").arg(what, path_, reason));
    }

    QString path_;
    sqlite3 *db_ = nullptr;
};

void removeFileAndJournals(const QString &path) {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + suffix);
}

// The permanent tables; the two scratch tables may hold anything.
const char *const kPermanentTables[] = {"Titles",   "Subject", "publishers", "retail",
                                        "soldbook", "onsale",  "Bill",       "paidbill"};

} // namespace

namespace shopfile {

QString schemaSql() {
    return QString::fromUtf8(kSchemaSql);
}

void create(const QString &path) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw DataError(
            QString("Cannot create the folder %1 for the shop database.").arg(info.absolutePath()));
    // Claiming the name with an exclusive create is what makes overwriting impossible, even
    // when another program makes the file between a check and this line.
    QFile claim(path);
    if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        const QFileInfo now(path);
        throw DataError(
            now.exists() || now.isSymLink()
                ? QString("The shop database %1 already exists; nothing was changed.").arg(path)
                : QString("Cannot create the shop database %1: %2").arg(path, claim.errorString()));
    }
    claim.close();
    try {
        ShopFile file(path);
        file.exec("BEGIN IMMEDIATE;\n" + schemaSql() + "\nCOMMIT;");
        if (file.text("PRAGMA journal_mode=WAL").compare("wal", Qt::CaseInsensitive) != 0)
            throw DataError(QString("Cannot put the shop database %1 in WAL mode.").arg(path));
    } catch (...) {
        // The file is ours and holds nothing yet: leave no half-made database behind.
        removeFileAndJournals(path);
        throw;
    }
}

void loadDemoCatalogue(const QString &path, const QDate &today) {
    if (!QFileInfo::exists(path))
        throw DataError(QString("The shop database %1 does not exist.").arg(path));
    ShopFile file(path);
    file.exec("BEGIN IMMEDIATE");
    try {
        for (const char *table : kPermanentTables) {
            if (file.text(QString("SELECT count(*) FROM [%1]").arg(table)).toInt() != 0)
                throw DataError(QString("The shop database %1 already holds data (table %2); "
                                        "the demo catalogue goes only into an empty one.")
                                    .arg(path, table));
        }
        for (const DemoTable &table : demoCatalogue(today))
            file.insert(table);
        file.exec("COMMIT");
    } catch (...) {
        try {
            file.exec("ROLLBACK");
        } catch (const DataError &) {
            // A failed COMMIT may already have rolled back; the first failure is the news.
        }
        throw;
    }
}

} // namespace shopfile
