// The session: the one connection of a screen and the record sets that share it.
#include "shopsession.h"

#include "engine.h"
#include "recordsource.h"

#include <algorithm>

ShopSession::ShopSession(ShopDatabase shop) : shop_(std::move(shop)) {}

Connection &ShopSession::connection() {
    if (!connection_)
        connection_ = std::make_unique<Connection>(shop_.connect());
    return *connection_;
}

void ShopSession::requireTable(const char *table, std::span<const Column> columns) {
    QStringList present;
    for (const TableColumn &column : connection().columnsOf(QLatin1String(table)))
        present << column.name;
    if (present.isEmpty())
        throw DataError(QStringLiteral("The shop database has no table \"%1\".").arg(table));
    for (const Column &column : columns)
        if (!present.contains(QLatin1String(column.name), Qt::CaseInsensitive))
            throw DataError(QStringLiteral("The table \"%1\" of the shop database has no column "
                                           "\"%2\".")
                                .arg(QLatin1String(table), QLatin1String(column.name)));
}

void ShopSession::rowRemoved(const QString &table, qint64 rowid) {
    for (RecordSource *source : std::vector<RecordSource *>(sources_))
        if (source->isOpen() && source->tableName().compare(table, Qt::CaseInsensitive) == 0)
            source->forgetStored(rowid);
}

void ShopSession::attach(RecordSource *source) {
    sources_.push_back(source);
}

void ShopSession::detach(RecordSource *source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

void ShopSession::finishReading() {
    for (RecordSource *source : sources_)
        source->fetchAll();
}

void ShopSession::tablesChanged(const QStringList &tables) {
    for (RecordSource *source : std::vector<RecordSource *>(sources_))
        if (source->isOpen() && tables.contains(source->tableName(), Qt::CaseInsensitive)) {
            // What is stored is already right; a list that cannot be read again keeps its
            // rows until the operator lists anew.
            try {
                source->refresh();
            } catch (const DataError &) {
            }
        }
}
