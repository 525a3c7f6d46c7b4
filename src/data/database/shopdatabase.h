// The shop a program works on: where it is kept, the driver of its engine (chosen once), the
// settings its connections wait by, and what every connection to it shares (the commit gate).
// A small value: copies share the shop; a copy with other settings (withSettings) is still
// the same shop, so that each screen's session can wait by its own limits.
#pragma once

#include "connectionsettings.h"

#include <QString>
#include <memory>
#include <optional>

class CommitGate;
class Connection;
class Driver;
class ShopState;
class SqlDialect;

class ShopDatabase {
public:
    // No shop: connect() throws.
    ShopDatabase() = default;
    ShopDatabase(QString location, const Driver &driver, ConnectionSettings settings = {});

    bool isNull() const { return shared_ == nullptr; }
    // The location as it was given: a file path, or a server's (shoplocation.h).
    QString location() const;
    const ConnectionSettings &settings() const { return settings_; }
    // The same shop, its connections waiting by other settings.
    ShopDatabase withSettings(const ConnectionSettings &settings) const;

    // A new connection to the shop. Throws DataError.
    Connection connect() const;
    const Driver &driver() const;
    const SqlDialect &dialect() const;
    // "Server shop: shop on backoffice", or the file's path.
    QString describe() const;
    // The file's name, or the server's database.
    QString shortName() const;
    // The shop's file when it is one on this computer (backups, the start check, the lock
    // file and New Shop are for such a shop); none for a shop on a server.
    std::optional<QString> localFile() const;

    // The start check's verdict, shared by every connection of this shop.
    CommitGate &commitGate() const;
    std::shared_ptr<CommitGate> sharedCommitGate() const;
    // What the driver keeps of this shop (driver.h).
    std::shared_ptr<ShopState> driverState() const;

private:
    struct Shared;
    // What copies share; throws DataError when there is no shop.
    const Shared &opened() const;

    std::shared_ptr<const Shared> shared_;
    ConnectionSettings settings_;
};
