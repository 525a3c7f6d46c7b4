// The login of a server shop's connection, from pg_roles and the shop's tables' owners.
#include "serverlogin.h"

#include "connection.h"
#include "serverroles.h"
#include "shoptables.h"

#include <QStringList>

namespace {

// The tables of the shop, as the server names them, for a query's IN list.
QString shopTableList() {
    QStringList names;
    for (const TableDescription &table : tables::all)
        names << QLatin1Char('\'') + QString::fromLatin1(table.name).toLower() + QLatin1Char('\'');
    return names.join(QLatin1String(", "));
}

QString useInstead() {
    return QStringLiteral("Log in as a till's own login (a member of %1) or as a back-office "
                          "login (a member of %2). The server's superuser and the owner of "
                          "the shop's tables are for the shop's tools alone (quillmart-createdb, "
                          "quillmart-copyshop).")
        .arg(QLatin1String(serverroles::kTill), QLatin1String(serverroles::kOffice));
}

} // namespace

QString ServerLogin::refusal() const {
    QString why;
    if (superuser)
        why = QStringLiteral("it is a superuser of the server, to whom none of the shop's rules "
                             "apply (it would see and empty every till's lists)");
    else if (bypassesRowSecurity)
        why = QStringLiteral("it bypasses row security, which keeps each till's lists its own");
    else if (ownsShop)
        why = QStringLiteral("it owns the shop's tables (or may act as their owner), so that it "
                             "could change or drop them");
    else if (!till && !office)
        why = QStringLiteral("it is a member of neither %1 nor %2, so it may do nothing in the "
                             "shop")
                  .arg(QLatin1String(serverroles::kTill), QLatin1String(serverroles::kOffice));
    if (why.isEmpty())
        return QString();
    return QStringLiteral("Quillmart does not work as the login \"%1\" on the shop server: %2.\n\n")
               .arg(name, why) +
           useInstead();
}

QString ServerLogin::missingRole(bool needsOffice) const {
    if (office || (!needsOffice && till))
        return QString();
    return QLatin1String(needsOffice ? serverroles::kOffice : serverroles::kTill);
}

QString ServerLogin::refusalOf(const QString &work, bool needsOffice) const {
    const QString role = missingRole(needsOffice);
    if (role.isEmpty())
        return QString();
    return QStringLiteral("%1 is %2 work: it needs a login that is a member of %3, and this "
                          "one (\"%4\") is not. Use it on a back-office computer, or ask the "
                          "shop's administrator.")
        .arg(work, needsOffice ? QStringLiteral("back-office") : QStringLiteral("the counter's"),
             role, name);
}

namespace serverlogin {

ServerLogin examine(Connection &connection) {
    // pg_has_role with MEMBER: a login that may only SET ROLE to the owner is the owner too.
    Statement query = connection.prepare(
        QStringLiteral(
            "SELECT current_user, r.rolsuper, r.rolbypassrls,"
            " EXISTS (SELECT FROM pg_class c WHERE c.relnamespace = current_schema()::regnamespace"
            "   AND c.relname IN (%1) AND pg_has_role(current_user, c.relowner, 'MEMBER')),"
            " EXISTS (SELECT FROM pg_roles g WHERE g.rolname = '%2'"
            "   AND pg_has_role(current_user, g.oid, 'USAGE')),"
            " EXISTS (SELECT FROM pg_roles g WHERE g.rolname = '%3'"
            "   AND pg_has_role(current_user, g.oid, 'USAGE'))"
            " FROM pg_roles r WHERE r.rolname = current_user")
            .arg(shopTableList(), QLatin1String(serverroles::kTill),
                 QLatin1String(serverroles::kOffice)));
    ServerLogin login;
    if (!query.step())
        return login;
    login.name = query.value(0).toString();
    login.superuser = query.value(1).toLongLong() != 0;
    login.bypassesRowSecurity = query.value(2).toLongLong() != 0;
    login.ownsShop = query.value(3).toLongLong() != 0;
    login.till = query.value(4).toLongLong() != 0;
    login.office = query.value(5).toLongLong() != 0;
    query.step();
    return login;
}

void clearScratchRows(Connection &connection) {
    Transaction transaction(connection);
    for (const char *table : {tables::tmp::table, tables::tempPay::table}) {
        // Row security leaves the login only its own rows to see and delete.
        const QString name = QString::fromLatin1(table).toLower();
        if (connection
                .scalar(QStringLiteral("SELECT has_table_privilege('%1', 'DELETE')").arg(name))
                .toLongLong() != 0)
            connection.exec(QStringLiteral("DELETE FROM %1").arg(name));
    }
    transaction.commit();
}

} // namespace serverlogin
