// Voids, stored through the session's connection.
#include "voids.h"

#include "connection.h"
#include "dataerror.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "shopsteps.h"
#include "shoptables.h"

namespace shop {

void storeVoid(ShopSession &session, const VoidRecord &voidRecord) {
    try {
        session.transact({tables::Titles::table, tables::soldbook::table, tables::voids::table},
                         [&](Connection &connection) {
                             connection.dialect().storeVoid(connection, voidRecord);
                         });
    } catch (const DataError &error) {
        throw notStored(QStringLiteral("The void was not stored, and nothing of it changed: %1."),
                        error);
    }
}

std::set<int> voidedLines(Connection &connection, const QString &receipt) {
    Statement select = connection.prepare(
        QStringLiteral("SELECT [Line] FROM [voidlines] WHERE [Receipt] = ?1"));
    select.bindAll({receipt});
    std::set<int> lines;
    while (select.step())
        lines.insert(select.value(0).toInt());
    return lines;
}

} // namespace shop
