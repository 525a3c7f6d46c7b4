// Shared test helpers: a fresh shop database in a temporary folder, message boxes that
// record what they were asked and answer from a script, and a screen opener that records.
#pragma once

#include "clock.h"
#include "connection.h"
#include "dataerror.h"
#include "messageboxes.h"
#include "screenopener.h"
#include "screenregistry.h"
#include "shopcontext.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// What the shop said when it refused the work, or "(done)" when it did it.
inline QString refusalOf(const std::function<void()> &work) {
    try {
        work();
    } catch (const DataError &error) {
        return error.sentence();
    }
    return QStringLiteral("(done)");
}

// A new shop database made from db/schema.sql in its own temporary folder.
class TestDatabase {
public:
    TestDatabase();
    QString path() const { return path_; }
    // The shop, as a screen is given it (drivers::open).
    const ShopDatabase &shop() const { return shop_; }
    Connection &connection() { return *conn_; }
    void exec(const QString &sql);
    // From now on the engine refuses this kind of write ("INSERT", "UPDATE") to the table
    // with "disk full", for every row or for those meeting the condition (new.[Column]...).
    void failWrites(const QString &event, const QString &table, const QString &when = {});
    void stopFailingWrites();
    QVariant scalar(const QString &sql) { return conn_->scalar(sql); }
    // All rows of a query, each row's values joined by '|' (nulls as "<null>").
    QStringList rows(const QString &sql);
    int count(const QString &table);

private:
    QTemporaryDir dir_;
    QString path_;
    ShopDatabase shop_;
    QString failingTable_;
    std::unique_ptr<Connection> conn_;
    std::unique_ptr<Connection> owner_; // on a server: the shop's owner, for its tables
};

class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text;
        Icon icon;
        QString title;
        bool confirmation;
        QString details;
    };
    void inform(const QString &text, Icon icon = Icon::None, const QString &title = QString(),
                const QString &details = QString()) override;
    bool confirm(const QString &text, const QString &title = QString(),
                 const QString &details = QString()) override;
    // Answers for the next confirmations, in order; OK when the script is empty.
    void answerNext(bool ok) { answers_.push_back(ok); }
    QStringList texts() const;
    std::vector<Shown> shown;

private:
    std::deque<bool> answers_;
};

// Builds screens from a registry as plain top-level widgets and records each call.
class RecordingOpener : public ScreenOpener {
public:
    explicit RecordingOpener(const ScreenRegistry *registry = nullptr) : registry_(registry) {}
    void setRegistry(const ScreenRegistry *registry) { registry_ = registry; }
    void setContext(const ShopContext *context) { context_ = context; }
    QWidget *openNew(const QString &screenId) override;
    QWidget *openShared(const QString &screenId) override;
    void close(QWidget *screen) override;
    QStringList opened; // "new:frmSell", "shared:frmCreTitles"
    QList<QWidget *> closed;

private:
    QWidget *build(const QString &screenId);
    const ScreenRegistry *registry_;
    const ShopContext *context_ = nullptr;
    std::map<QString, QWidget *> shared_;
};

// Everything a screen needs, wired to the test database, a fixed clock (2001/5/3 10:30:00
// unless moved), recording message boxes and a recording opener.
struct TestShop {
    TestShop();
    TestDatabase db;
    FixedClock clock{QDate(2001, 5, 3), QTime(10, 30, 0)};
    RecordingMessageBoxes messages;
    RecordingOpener opener;
    ShopContext context;
};
