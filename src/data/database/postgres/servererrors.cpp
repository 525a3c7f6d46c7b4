// The server's failures in words, and their kinds by SQLSTATE.
#include "servererrors.h"

#include "pglocation.h"

#include <QStringList>

#include <libpq-fe.h>

namespace pgerrors {

bool connectionEnded(const PGresult *failure) {
    const char *state =
        failure != nullptr ? PQresultErrorField(failure, PG_DIAG_SQLSTATE) : nullptr;
    return state == nullptr || qstrncmp(state, "08", 2) == 0 || qstrncmp(state, "57P", 3) == 0;
}

DataError cannotReach(const QString &server, const QString &why, bool opening) {
    return DataError(
        DataError::Kind::ConnectionLost,
        QStringLiteral("The shop server cannot be reached (%1)%2. Check that the "
                       "server is running and that this computer can reach it, "
                       "then try again.")
            .arg(server, opening ? QString() : QStringLiteral(": nothing of this was stored")),
        why);
}

namespace {

// The kind of the server's other failures that the code above may act on, by SQLSTATE.
DataError::Kind kindOf(const QByteArray &code) {
    if (code == "42501") // insufficient privilege: the login may not
        return DataError::Kind::Refused;
    if (code == "25006") // a read-only transaction, or a standby server
        return DataError::Kind::ReadOnly;
    if (code == "53100")
        return DataError::Kind::DiskFull;
    return DataError::Kind::Other;
}

} // namespace

void throwFailure(const PGresult *failure, const QString &why, const QString &server, bool lost,
                  bool committing) {
    if (lost && committing)
        throw DataError(DataError::Kind::ConnectionLost,
                        QStringLiteral("The connection to the shop server (%1) was lost while the "
                                       "work was being stored, so it may or may not have been "
                                       "stored. Look at the stored rows before you try again.")
                            .arg(server),
                        why);
    if (lost)
        throw DataError(DataError::Kind::ConnectionLost,
                        QStringLiteral("The connection to the shop server (%1) was lost: nothing "
                                       "of this was stored. Try again when the server is back.")
                            .arg(server),
                        why);
    const char *state =
        failure != nullptr ? PQresultErrorField(failure, PG_DIAG_SQLSTATE) : nullptr;
    const QByteArray code = state != nullptr ? QByteArray(state) : QByteArray();
    if (code == "40001" || code == "40P01")
        throw ConflictError(QStringLiteral("Another till was changing the same rows at that "
                                           "moment, so nothing of this was stored. Try again."));
    // A lock another till or computer held longer than this screen waits, or a statement
    // that ran out of its time: the work was rolled back whole.
    if (code == "55P03" || code == "57014")
        throw DataError(DataError::Kind::Busy,
                        QStringLiteral("The shop database is busy: another till or computer is "
                                       "holding what this needs (%1). Nothing of this was "
                                       "stored. Try again in a moment.")
                            .arg(server),
                        why);
    const char *primary =
        failure != nullptr ? PQresultErrorField(failure, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    throw DataError(kindOf(code), primary != nullptr ? QString::fromUtf8(primary) : why);
}

DataError cannotConnect(const QString &conninfo, const QString &why) {
    QStringList given; // every setting but the password
    if (const auto settings = pglocation::settingsOf(conninfo)) {
        for (const auto &[keyword, value] : *settings)
            if (keyword != "password" && !value.isEmpty())
                given << QStringLiteral("%1=%2").arg(QLatin1String(keyword), value);
    } else {
        given << QStringLiteral("(not a connection string)");
    }
    return DataError(DataError::Kind::ConnectionLost,
                     QStringLiteral("Cannot connect to the server shop \"%1\": %2")
                         .arg(given.join(QLatin1Char(' ')), why));
}

DataError toolFailure(const QString &what, const QString &where, const QString &why) {
    return DataError(QStringLiteral("%1 (%2): %3").arg(what, where, why));
}

QString refused(const QString &sql) {
    const QString statement = sql.simplified();
    return QStringLiteral("The server refused \"%1\"")
        .arg(statement.size() > 80 ? statement.left(80) + QStringLiteral("...") : statement);
}

} // namespace pgerrors
