// An engine's driver: everything that differs between the places a shop can be kept (a file
// on this computer, a database on a server), chosen once when the shop is opened
// (drivers::open). Adding an engine means adding a driver.
#pragma once

#include <QString>
#include <cstddef>
#include <memory>
#include <optional>

class ConnectionEngine;
class ShopDatabase;
class SqlDialect;
class UpgradeEngine;

// What a driver keeps of one shop while it is open, shared by every copy of its ShopDatabase
// (its closed screens' connections, say).
class ShopState {
public:
    virtual ~ShopState() = default;
    // Closes the connections kept for the next screens.
    virtual void closeIdle() {}
    // How many are kept now.
    virtual std::size_t idleCount() const { return 0; }
};

class Driver {
public:
    virtual ~Driver() = default;
    // A new connection to the shop, with the shop's settings and its commit gate. Throws
    // DataError saying why the shop cannot be opened.
    virtual std::unique_ptr<ConnectionEngine> connect(const ShopDatabase &shop) const = 0;
    virtual const SqlDialect &dialect() const = 0;
    // How the shop at the location is named in full (never showing a password), and in short
    // for a narrow place.
    virtual QString describe(const QString &location) const = 0;
    virtual QString shortName(const QString &location) const = 0;
    // The file the shop is kept in when it is one file on this computer; none otherwise.
    virtual std::optional<QString> localFile(const QString &location) const = 0;
    // A session of its own that makes the steps of the shop's versions (upgradeengine.h).
    // Throws DataError when the shop cannot be opened.
    virtual std::unique_ptr<UpgradeEngine> upgrader(const ShopDatabase &shop) const = 0;
    // What the driver keeps of a shop it opens; none when it keeps nothing.
    virtual std::shared_ptr<ShopState> newShopState() const { return nullptr; }
};

namespace engines {
// The driver of a shop kept in one SQLite file on this computer (sqlite/), and of a shop on a
// PostgreSQL server (postgres/).
const Driver &fileDriver();
const Driver &serverDriver();
} // namespace engines
