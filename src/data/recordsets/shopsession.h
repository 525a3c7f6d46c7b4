// A screen's session with the shop database: its one connection, shared by all of the
// screen's record sets, and its transactions. After a transaction commits, the record sets
// that show a changed table read it again, so that no screen keeps its own re-read rules.
#pragma once

#include "connection.h"
#include "dataerror.h"
#include "shopdatabase.h"
#include "tabledescription.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class RecordSource;

class ShopSession {
public:
    // The connection opens at first use, so that a missing file is reported where the
    // screen's data loads.
    explicit ShopSession(ShopDatabase shop);
    static std::shared_ptr<ShopSession> open(const ShopDatabase &shop) {
        return std::make_shared<ShopSession>(shop);
    }
    ShopSession(const ShopSession &) = delete;
    ShopSession &operator=(const ShopSession &) = delete;

    const ShopDatabase &shop() const { return shop_; }
    // Throws DataError when the file cannot be opened.
    Connection &connection();

    // Runs `work(connection)` in one transaction: all of it is stored, or none of it (the
    // DataError goes on to the caller). After the commit the record sets showing one of
    // `changedTables` are read again.
    // On a server, work that ran into another till's at the same moment is run again, a
    // few times, before the conflict is reported.
    template <typename Work> void transact(const QStringList &changedTables, Work &&work) {
        finishReading();
        for (int attempt = 1;; ++attempt) {
            try {
                Transaction transaction(connection());
                work(connection());
                transaction.commit();
                break;
            } catch (const ConflictError &) {
                if (attempt == conflictAttempts)
                    throw;
            }
        }
        tablesChanged(changedTables);
    }
    // Throws DataError naming what is missing when the shop file lacks the table or one of
    // the columns: a screen reports it when it opens, not halfway through the work.
    void requireTable(const char *table, std::span<const Column> columns);

    // Tells the session's record sets of these tables that their rows changed.
    void tablesChanged(const QStringList &tables);
    // Tells them that one row of the table is gone, which they drop without reading again.
    void rowRemoved(const QString &table, qint64 rowid);

    // Record sets join on construction and leave on destruction.
    void attach(RecordSource *source);
    void detach(RecordSource *source);

private:
    static constexpr int conflictAttempts = 5;
    // A result still being read would be cut short by a rollback: every record set reads
    // its rest first.
    void finishReading();

    ShopDatabase shop_;
    std::unique_ptr<Connection> connection_;
    std::vector<RecordSource *> sources_;
};
