// The shop file's driver: its location is the file's path.
#include "sqlitedriver.h"

#include "driver.h"
#include "engine.h"
#include "openfile.h"
#include "sqlitedialect.h"

#include <QFileInfo>

namespace {

class FileDriver : public Driver {
public:
    std::unique_ptr<ConnectionEngine> connect(const ShopDatabase &shop) const override {
        return engines::openFile(shop);
    }
    const SqlDialect &dialect() const override { return engines::fileDialect(); }
    QString describe(const QString &location) const override { return location; }
    QString shortName(const QString &location) const override {
        return QFileInfo(location).fileName();
    }
    std::optional<QString> localFile(const QString &location) const override { return location; }
};

} // namespace

const Driver &engines::fileDriver() {
    static const FileDriver driver;
    return driver;
}
