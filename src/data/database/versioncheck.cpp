// Reading the shop's version through a connection of the program.
#include "versioncheck.h"

#include "connection.h"
#include "engine.h"

namespace versioncheck {

namespace {

class ConnectionSource : public VersionSource {
public:
    explicit ConnectionSource(Connection &connection) : connection_(connection) {}
    bool hasTable(const char *table) override {
        return !connection_.columnsOf(QLatin1String(table)).empty();
    }
    std::vector<VersionRow> versionRows() override {
        namespace V = tables::shopversion;
        Statement select =
            connection_.prepare(QStringLiteral("SELECT %1, %2 FROM [%3]")
                                    .arg(V::Version.sql(), V::OldestWriter.sql(), V::table));
        std::vector<VersionRow> rows;
        while (select.step())
            rows.push_back({select.value(0).toString(), select.value(1).toString()});
        return rows;
    }

private:
    Connection &connection_;
};

} // namespace

ShopVersion read(Connection &connection, std::span<const StepDescription> steps) {
    ConnectionSource source(connection);
    return shopversion::read(source, steps);
}

} // namespace versioncheck
