// A server shop's upgrade session.
#include "pgupgrade.h"

#include "dataerror.h"
#include "pgdialect.h"
#include "pgschema.h"
#include "shopsteps.h"

namespace {

// The advisory lock every upgrade of a shop takes for each step (any number of Quillmart's
// own; the server keeps such locks per database).
constexpr char kUpgradeLock[] = "7302150271";

} // namespace

ServerUpgrade::ServerUpgrade(pgtool::Session &session, Transactions transactions)
    : db_(session), transactions_(transactions) {}

ServerUpgrade::ServerUpgrade(std::unique_ptr<pgtool::Session> session)
    : own_(std::move(session)), db_(*own_) {}

QString ServerUpgrade::describe() const {
    return QStringLiteral("The shop in the %1").arg(db_.describe());
}

QString ServerUpgrade::login() {
    return db_.scalar(QStringLiteral("SELECT current_user"));
}

bool ServerUpgrade::hasTable(const char *table) {
    // The catalogue as of this statement: a name looked up earlier in the session (to_regclass)
    // may be remembered as missing after another upgrade has made it.
    return db_.scalar(QStringLiteral("SELECT EXISTS (SELECT FROM pg_class WHERE relname = $1 AND "
                                     "relnamespace = current_schema()::regnamespace)"),
                      {pgschema::name(table)}) == QLatin1String("t");
}

std::vector<VersionRow> ServerUpgrade::versionRows() {
    namespace V = tables::shopversion;
    const pgtool::Result result =
        db_.exec(QStringLiteral("SELECT %1::text, %2 FROM %3")
                     .arg(pgschema::quoted(V::Version.name), pgschema::quoted(V::OldestWriter.name),
                          pgschema::quoted(V::table)));
    std::vector<VersionRow> rows;
    for (int row = 0; row < result.rows(); ++row)
        rows.push_back({result.text(row, 0), result.text(row, 1)});
    return rows;
}

void ServerUpgrade::begin() {
    if (transactions_ == Transactions::Own) {
        db_.exec(QStringLiteral("BEGIN"));
        inTransaction_ = true;
    }
    // For the rest of the transaction, what is made goes into the shop's schema, and a function
    // of a step that pins its search path (SET search_path FROM CURRENT) finds the shop's
    // tables and nothing a login could put before them.
    db_.exec(QStringLiteral("SELECT set_config('search_path', quote_ident(current_schema()) "
                            "|| ', pg_temp', true)"));
    db_.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(QLatin1String(kUpgradeLock)));
}

void ServerUpgrade::apply(const StepDescription &step, bool upgrading) {
    db_.exec(pgschema::stepSql(step));
    if (upgrading && *step.serverUpgradedSql != '\0')
        db_.exec(QString::fromUtf8(step.serverUpgradedSql));
}

const SqlDialect &ServerUpgrade::dialect() const {
    return engines::serverDialect();
}

// Each value as its text, whose type the server takes from its place.
void ServerUpgrade::run(const QString &sql, const QVariantList &values) {
    QStringList texts;
    for (const QVariant &value : values)
        texts << value.toString();
    db_.exec(sql, texts);
}

void ServerUpgrade::commit() {
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    db_.exec(QStringLiteral("COMMIT"));
}

void ServerUpgrade::rollback() noexcept {
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    try {
        db_.exec(QStringLiteral("ROLLBACK"));
    } catch (const DataError &) {
    }
}
