// The server shop's driver: its location is pglocation's; it keeps the shop's closed screens'
// connections and its tables' columns.
#include "driver.h"
#include "pgdialect.h"
#include "pglocation.h"
#include "pgupgrade.h"
#include "serverengine.h"
#include "shopdatabase.h"

namespace {

class ServerDriver : public Driver {
public:
    std::unique_ptr<ConnectionEngine> connect(const ShopDatabase &shop) const override {
        return std::make_unique<server::ServerConnection>(shop);
    }
    const SqlDialect &dialect() const override { return engines::serverDialect(); }
    QString describe(const QString &location) const override {
        return pglocation::describe(location);
    }
    QString shortName(const QString &location) const override {
        return pglocation::shortName(location);
    }
    // The server keeps its own files, backups and checks.
    std::optional<QString> localFile(const QString &) const override { return std::nullopt; }
    std::unique_ptr<UpgradeEngine> upgrader(const ShopDatabase &shop) const override {
        return std::make_unique<ServerUpgrade>(
            std::make_unique<pgtool::Session>(pglocation::connectionString(shop.location())));
    }
    std::shared_ptr<ShopState> newShopState() const override {
        return std::make_shared<ServerShopState>();
    }
};

} // namespace

const Driver &engines::serverDriver() {
    static const ServerDriver driver;
    return driver;
}
