// What the server's driver keeps of one shop while the program has it open, for every copy of
// its ShopDatabase: the connections of its closed screens, for the next screens to take (a new
// connection is a new server process, 3 to 10 ms of a screen's opening), and its tables'
// columns as the catalogue gave them (a round trip per record set otherwise).
#pragma once

#include "driver.h"
#include "engine.h"
#include "idlepool.h"
#include "pgsession.h"

#include <QHash>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class SessionPool {
public:
    // A kept connection, made a clean session with these settings (whatever the screen before
    // set, prepared, opened, locked or left in temporary tables is gone); none when none is
    // kept or none comes through its reset.
    std::unique_ptr<pgtool::Session> take(const std::vector<pgtool::Setting> &settings);
    // Keeps an idle connection a few minutes at most (idlepool.h).
    void put(std::unique_ptr<pgtool::Session> session);
    void clear() { idle_.clear(); }
    std::size_t size() const { return idle_.size(); }

private:
    IdlePool<std::unique_ptr<pgtool::Session>> idle_;
};

class ServerShopState : public ShopState {
public:
    void closeIdle() override { sessions.clear(); }
    std::size_t idleCount() const override { return sessions.size(); }

    SessionPool sessions;
    // A table's columns as a connection of the shop read them; none when not read yet.
    std::optional<std::vector<TableColumn>> columnsOf(const QString &table) const;
    // Kept unless there are none (a table made later is looked for again).
    void keepColumns(const QString &table, const std::vector<TableColumn> &columns);

private:
    mutable std::mutex mutex_;
    QHash<QString, std::vector<TableColumn>> columns_; // by the lower-case name
};
