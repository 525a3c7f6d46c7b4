// The server shop's driver: its location is pglocation's.
#include "pgdriver.h"

#include "driver.h"
#include "engine.h"
#include "openserver.h"
#include "pgdialect.h"
#include "pglocation.h"
#include "pgupgrade.h"
#include "shopdatabase.h"

namespace {

class ServerDriver : public Driver {
public:
    std::unique_ptr<ConnectionEngine> connect(const ShopDatabase &shop) const override {
        return engines::openServer(shop);
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
};

} // namespace

const Driver &engines::serverDriver() {
    static const ServerDriver driver;
    return driver;
}
