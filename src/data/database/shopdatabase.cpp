// The shop database: its location, driver, settings and commit gate.
#include "shopdatabase.h"

#include "commitgate.h"
#include "connection.h"
#include "dataerror.h"
#include "driver.h"
#include "engine.h"

struct ShopDatabase::Shared {
    QString location;
    const Driver *driver;
    std::shared_ptr<CommitGate> gate;
    std::shared_ptr<ShopState> driverState;
};

ShopDatabase::ShopDatabase(QString location, const Driver &driver, ConnectionSettings settings)
    : shared_(std::make_shared<Shared>(Shared{
          std::move(location), &driver, std::make_shared<CommitGate>(), driver.newShopState()})),
      settings_(settings) {}

const ShopDatabase::Shared &ShopDatabase::opened() const {
    if (!shared_)
        throw DataError(DataError::Kind::Missing, QStringLiteral("No shop has been opened."));
    return *shared_;
}

QString ShopDatabase::location() const {
    return shared_ ? shared_->location : QString();
}

ShopDatabase ShopDatabase::withSettings(const ConnectionSettings &settings) const {
    ShopDatabase same = *this;
    same.settings_ = settings;
    return same;
}

Connection ShopDatabase::connect() const {
    return Connection(*this, opened().driver->connect(*this));
}

const Driver &ShopDatabase::driver() const {
    return *opened().driver;
}

const SqlDialect &ShopDatabase::dialect() const {
    return driver().dialect();
}

QString ShopDatabase::describe() const {
    return shared_ ? shared_->driver->describe(shared_->location) : QString();
}

QString ShopDatabase::shortName() const {
    return shared_ ? shared_->driver->shortName(shared_->location) : QString();
}

std::optional<QString> ShopDatabase::localFile() const {
    return shared_ ? shared_->driver->localFile(shared_->location) : std::nullopt;
}

CommitGate &ShopDatabase::commitGate() const {
    return *sharedCommitGate();
}

std::shared_ptr<CommitGate> ShopDatabase::sharedCommitGate() const {
    return opened().gate;
}

std::shared_ptr<ShopState> ShopDatabase::driverState() const {
    return opened().driverState;
}
