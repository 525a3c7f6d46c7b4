// Which shop the settings name: the server's connection read whole as written, a setting that
// is there but cannot be used refused naming it, and never the file once a server is named.
#include "shopsettings.h"
#include "shoplocation.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Case {
    const char *what;
    const char *ini;     // the settings file as the shop's IT person wrote it
    const char *server;  // the connection string the shop is on; "" for the file
    const char *refusal; // a part of the message, when the start is refused
    int counter, office; // the waits
};

const Case kCases[] = {
    {"no settings", "", "", "", 5, 60},
    {"another section's key", "[Other]\nServer=service=elsewhere\n", "", "", 5, 60},
    {"a service", "[Shop]\nServer=service=shop\n", "service=shop", "", 5, 60},
    {"a list of hosts for a standby",
     "[Settings]\nMainLeft=1000\n[Shop]\nServer = host=a,b port=5432,5432 dbname=shop "
     "user=till1\n",
     "host=a,b port=5432,5432 dbname=shop user=till1", "", 5, 60},
    {"a quoted value with a semicolon", "[Shop]\nServer=host=a dbname='my;shop' user=till1\n",
     "host=a dbname='my;shop' user=till1", "", 5, 60},
    {"a URI", "[Shop]\nServer=postgresql://till1@backoffice/shop?sslmode=verify-full\n",
     "postgresql://till1@backoffice/shop?sslmode=verify-full", "", 5, 60},
    {"as the settings store writes it", "[Shop]\nServer=\"host=a,b dbname=shop\"\n",
     "host=a,b dbname=shop", "", 5, 60},
    {"waits of its own", "[Shop]\nServer=service=shop\nCounterTimeout=3\nOfficeTimeout=0\n",
     "service=shop", "", 3, 0},
    {"empty", "[Shop]\nServer=\n", "", "The setting Server in the [Shop] section of", 5, 60},
    {"blank", "[Shop]\nServer=   \n", "", "is empty", 5, 60},
    {"not a connection", "[Shop]\nServer=backoffice shop\n", "",
     "is not a connection to a shop server", 5, 60},
    {"a wait that is no number", "[Shop]\nCounterTimeout=five\n", "",
     "The setting CounterTimeout in the [Shop] section of", 5, 60},
    {"a negative wait", "[Shop]\nServer=service=shop\nOfficeTimeout=-1\n", "",
     "The setting OfficeTimeout", 5, 60},
};

TEST(ShopSettings, NameTheShopOrAreRefusedNamingTheSetting) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("Quillmart.ini");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.ini);
        file.close();
        // A shop file is there too: it must not be chosen once a server is named.
        QFile(dir.filePath("book1.mdb")).open(QIODevice::WriteOnly);
        QSettings settings(path, QSettings::IniFormat);

        const ShopSettings shop = shopsettings::read(settings, dir.filePath("book1.mdb"));
        if (*c.refusal != '\0') {
            EXPECT_TRUE(shop.refusal.startsWith(c.refusal) || shop.refusal.contains(c.refusal))
                << shop.refusal.toStdString();
            EXPECT_TRUE(shop.refusal.contains(path)) << shop.refusal.toStdString();
            EXPECT_EQ(shop.location, QString());
            continue;
        }
        EXPECT_EQ(shop.refusal, QString());
        EXPECT_EQ(shop.location, *c.server == '\0'
                                     ? dir.filePath("book1.mdb")
                                     : shoplocation::ofServer(QString::fromUtf8(c.server)));
        EXPECT_EQ(shop.counterTimeout, c.counter);
        EXPECT_EQ(shop.officeTimeout, c.office);
    }
}

TEST(ShopSettings, AFileThatCannotBeReadIsRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Quillmart.ini");
    ASSERT_TRUE(QDir(dir.path()).mkdir("Quillmart.ini")); // there, and no file to read
    QSettings settings(path, QSettings::IniFormat);
    const ShopSettings shop = shopsettings::read(settings, dir.filePath("book1.mdb"));
    EXPECT_TRUE(shop.refusal.contains("cannot be read")) << shop.refusal.toStdString();
    EXPECT_EQ(shop.location, QString());
}

} // namespace
