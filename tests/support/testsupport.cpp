// Test database, recording message boxes and recording screen opener.
#include "testsupport.h"

#include "opendatabase.h"
#include "receipts.h"
#include "shopfile.h"
#include "testserver.h"

#include <QRegularExpression>
#include <QWidget>
#include <stdexcept>

TestDatabase::TestDatabase() {
    if (testserver::enabled()) {
        path_ = testserver::freshShop();
        shop_ = drivers::open(path_);
        conn_ = std::make_unique<Connection>(shop_.connect());
        owner_ = std::make_unique<Connection>(drivers::connect(testserver::ownerLocation()));
        return;
    }
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    path_ = dir_.filePath(QStringLiteral("book1.mdb"));
    shopfile::create(path_);
    shop_ = drivers::open(path_);
    conn_ = std::make_unique<Connection>(shop_.connect());
    shop::addCounterDefaults(*conn_, true); // as a new shop is made
}

void TestDatabase::exec(const QString &sql) {
    // A test that changes the tables themselves leaves the server's shop to be made anew; on
    // the server only the shop's owner may.
    if (testserver::enabled() &&
        sql.contains(QRegularExpression(QStringLiteral(R"(\b(drop|alter|create)\s)"),
                                        QRegularExpression::CaseInsensitiveOption))) {
        testserver::schemaChanged();
        owner_->exec(sql);
        return;
    }
    conn_->exec(sql);
    // Rows a test stores under numbers of its own leave the server's numbering behind them,
    // as the file's does.
    if (testserver::enabled() && sql.contains(QLatin1String("insert"), Qt::CaseInsensitive))
        testserver::renumber();
}

void TestDatabase::failWrites(const QString &event, const QString &table, const QString &when) {
    failingTable_ = table;
    if (!testserver::enabled()) {
        conn_->exec(
            QStringLiteral("CREATE TRIGGER fail BEFORE %1 ON [%2] %3 BEGIN SELECT "
                           "RAISE(ABORT, 'disk full'); END")
                .arg(event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when));
        return;
    }
    testserver::schemaChanged();
    owner_->exec(QStringLiteral("CREATE OR REPLACE FUNCTION fail() RETURNS trigger LANGUAGE "
                                "plpgsql AS 'BEGIN RAISE EXCEPTION ''disk full''; END'"));
    owner_->exec(
        QStringLiteral("CREATE TRIGGER fail BEFORE %1 ON [%2] FOR EACH ROW %3 EXECUTE "
                       "FUNCTION fail()")
            .arg(event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when)));
}

void TestDatabase::stopFailingWrites() {
    if (owner_)
        owner_->exec(QStringLiteral("DROP TRIGGER fail ON [%1]").arg(failingTable_));
    else
        conn_->exec(QStringLiteral("DROP TRIGGER fail"));
}

QStringList TestDatabase::rows(const QString &sql) {
    QStringList result;
    Statement stmt = conn_->prepare(sql);
    while (stmt.step()) {
        QStringList cells;
        for (int c = 0; c < stmt.columnCount(); ++c) {
            const QVariant v = stmt.value(c);
            cells << (v.isNull() || !v.isValid() ? QStringLiteral("<null>") : v.toString());
        }
        result << cells.join(QLatin1Char('|'));
    }
    return result;
}

int TestDatabase::count(const QString &table) {
    return conn_->scalar(QStringLiteral("SELECT count(*) FROM [%1]").arg(table)).toInt();
}

void RecordingMessageBoxes::inform(const QString &text, Icon icon, const QString &title,
                                   const QString &details) {
    shown.push_back({text, icon, title, false, details});
}

bool RecordingMessageBoxes::confirm(const QString &text, const QString &title,
                                    const QString &details) {
    shown.push_back({text, Icon::None, title, true, details});
    if (answers_.empty())
        return true;
    const bool ok = answers_.front();
    answers_.pop_front();
    return ok;
}

QStringList RecordingMessageBoxes::texts() const {
    QStringList result;
    for (const Shown &s : shown)
        result << s.text;
    return result;
}

QWidget *RecordingOpener::build(const QString &screenId) {
    if (registry_ == nullptr || context_ == nullptr || !registry_->contains(screenId))
        return nullptr;
    return registry_->create(screenId, *context_);
}

QWidget *RecordingOpener::openNew(const QString &screenId) {
    opened << QStringLiteral("new:") + screenId;
    return build(screenId);
}

QWidget *RecordingOpener::openShared(const QString &screenId) {
    opened << QStringLiteral("shared:") + screenId;
    auto it = shared_.find(screenId);
    if (it != shared_.end() && !closed.contains(it->second))
        return it->second;
    QWidget *screen = build(screenId);
    if (screen != nullptr)
        shared_[screenId] = screen;
    return screen;
}

void RecordingOpener::close(QWidget *screen) {
    closed << screen;
    if (screen != nullptr)
        screen->close();
}

TestShop::TestShop() {
    context.shop = db.shop();
    context.messages = &messages;
    context.clock = &clock;
    context.opener = &opener;
    opener.setContext(&context);
}
