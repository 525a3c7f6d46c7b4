// Voids, stored through the session's connection.
#include "voids.h"

#include "connection.h"
#include "refusablework.h"
#include "shopsession.h"
#include "shopsteps.h"
#include "shoptables.h"

namespace shop {

void storeVoid(ShopSession &session, const VoidRecord &voidRecord) {
    storedWork(
        session, {tables::Titles::table, tables::soldbook::table, tables::voids::table},
        QStringLiteral("The void was not stored, and nothing of it changed: %1."),
        [&](Connection &connection) { connection.dialect().storeVoid(connection, voidRecord); });
}

std::set<int> voidedLines(Connection &connection, const QString &receipt) {
    Statement select =
        connection.prepare(QStringLiteral("SELECT [Line] FROM [voidlines] WHERE [Receipt] = ?1"));
    select.bindAll({receipt});
    std::set<int> lines;
    while (select.step())
        lines.insert(select.value(0).toInt());
    return lines;
}

} // namespace shop
