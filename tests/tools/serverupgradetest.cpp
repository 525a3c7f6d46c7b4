// Upgrading a shop on the real test server: from each earlier version with every row of the
// ten tables as it was, the roles given the steps' rights alone; two upgrades at once make
// each step once; and a shop that needs a newer program, or whose version table is damaged,
// takes no write from this one.
#include "commitgate.h"
#include "connection.h"
#include "dataerror.h"
#include "olderscreens.h"
#include "opendatabase.h"
#include "pgupgrade.h"
#include "receipts.h"
#include "serverdatabase.h"
#include "shopcopy.h"
#include "shopfingerprint.h"
#include "shoplocation.h"
#include "shopserver.h"
#include "shopupgrade.h"
#include "shopversionneeded.h"
#include "teststeps.h"
#include "testsupport.h"
#include "tillsessions.h"
#include "upgradecommand.h"

#include <QThread>
#include <atomic>
#include <thread>

namespace {

const QDate kToday(2026, 3, 14);
const QDateTime kWhen(kToday, QTime(9, 30, 0));
constexpr int kNewest = static_cast<int>(std::size(teststeps::list)) + 1;

class ServerUpgradeTest : public ServerTest {
protected:
    // The shop as quillmart-createdb --server of an earlier version makes it (the ten tables,
    // then the steps up to `version`), with the demo catalogue.
    void makeShop(int version, bool demo = true) {
        pgtool::Session db(conninfo());
        db.exec("BEGIN");
        shopserver::createSchema(db, "en-GB", 1);
        if (demo)
            shopcopy::fillServerWithDemo(db, kToday);
        ServerUpgrade made(db, ServerUpgrade::Transactions::Callers);
        shopupgrade::makeSteps(made, teststeps::all, version);
        db.exec("COMMIT");
    }
    QStringList fingerprint() {
        Connection db = drivers::connect(shoplocation::ofServer(conninfo()));
        return tenTablesFingerprint(db);
    }
    shopupgrade::Outcome upgrade(const shopupgrade::Watch &watch = {}) {
        ServerUpgrade engine(std::make_unique<pgtool::Session>(conninfo()));
        return shopupgrade::upgrade(engine, teststeps::all, kWhen, watch);
    }
};

class FromEachVersion : public ServerUpgradeTest, public testing::WithParamInterface<int> {};

TEST_P(FromEachVersion, KeepsEveryRowAndGivesTheRolesTheStepsRightsAlone) {
    const int from = GetParam();
    makeShop(from);
    const auto rows = [&] {
        Connection db = drivers::connect(shoplocation::ofServer(conninfo()));
        if (from >= 3 && db.scalar("SELECT count(*) FROM receipts").toInt() == 0)
            storeVersion3Receipt(db);
        return tenTablesFingerprint(db) + stepTablesFingerprint(db, teststeps::all, from);
    };
    const QStringList before = rows();
    ASSERT_GT(before.size(), 100);
    const shopupgrade::Outcome outcome = upgrade();
    EXPECT_EQ(outcome.from, from);
    EXPECT_EQ(outcome.to, kNewest);
    EXPECT_EQ(rows(), before);

    Link server(conninfo());
    // An upgraded shop takes refunds for the reasons every shop starts with; one made at that
    // version is given them by what makes it.
    EXPECT_EQ(server.rows("SELECT count(*) FROM refundreasons"),
              QStringList{from < shop::sessionsVersion ? "5" : "0"});
    EXPECT_EQ(server.rows("SELECT relname, relpersistence FROM pg_class WHERE relname IN "
                          "('tmp', 'temppay') ORDER BY 1"),
              (QStringList{"temppay|u", "tmp|u"}));
    QStringList records;
    for (int to = from + 1; to <= kNewest; ++to)
        records << QString("%1|%2|2026-03-14 09:30:00|1.4").arg(to - 1).arg(to);
    EXPECT_EQ(server.rows("SELECT fromversion, toversion, upgradedat, programversion FROM "
                          "shopupgrades ORDER BY upgrade"),
              records);
    EXPECT_EQ(server.rows("SELECT version, oldestwriter FROM shopversion"),
              QStringList{QString("%1|1.4").arg(kNewest)});
    // What each role may do to the steps' tables, column by column where a step says so.
    EXPECT_EQ(
        server.rows("SELECT r, t, c, p, has_column_privilege(r, t, c, p) FROM "
                    "(VALUES ('quillmart_till'), ('quillmart_office')) roles(r), "
                    "(VALUES ('testnotes', 'isopen'), ('testnotes', 'amount'), "
                    "('testcodes', 'name')) cols(t, c), (VALUES ('SELECT'), ('INSERT'), "
                    "('UPDATE')) rights(p) ORDER BY 1, 2, 3, 4"),
        QStringList(
            {"quillmart_office|testcodes|name|INSERT|f", "quillmart_office|testcodes|name|SELECT|t",
             "quillmart_office|testcodes|name|UPDATE|f",
             "quillmart_office|testnotes|amount|INSERT|t",
             "quillmart_office|testnotes|amount|SELECT|t",
             "quillmart_office|testnotes|amount|UPDATE|t",
             "quillmart_office|testnotes|isopen|INSERT|t",
             "quillmart_office|testnotes|isopen|SELECT|t",
             "quillmart_office|testnotes|isopen|UPDATE|t", "quillmart_till|testcodes|name|INSERT|f",
             "quillmart_till|testcodes|name|SELECT|t", "quillmart_till|testcodes|name|UPDATE|f",
             "quillmart_till|testnotes|amount|INSERT|t", "quillmart_till|testnotes|amount|SELECT|t",
             "quillmart_till|testnotes|amount|UPDATE|f", "quillmart_till|testnotes|isopen|INSERT|t",
             "quillmart_till|testnotes|isopen|SELECT|t",
             "quillmart_till|testnotes|isopen|UPDATE|t"}));
    // The rules of a step hold on the server: one open note per till, the server's own
    // function, the step's own row.
    const char *note = "INSERT INTO testnotes (isbn, written, amount) VALUES ($1, $2, $3)";
    EXPECT_EQ(server.run(note, {"1", "2026-03-14 10:00", "2"}), "");
    EXPECT_EQ(server.run(note, {"2", "2026-03-14 10:00", "0"}), "23505");  // a second open one
    EXPECT_EQ(server.run(note, {"3", "2026-03-14 10:00", "-1"}), "23514"); // CHECK
    EXPECT_EQ(server.rows("SELECT testnotes_open('counter')"), QStringList{"1"});
    EXPECT_EQ(server.rows("SELECT code || name FROM testcodes"), QStringList{"Afirst"});
}

// An upgraded shop, empty or not, takes payment at once by cash and card; a shop made at that
// version gets them from quillmart-createdb, after any shop copied in.
TEST_P(FromEachVersion, AnEmptyShopUpgradedStartsWithCashAndCard) {
    const int from = GetParam();
    makeShop(from, false);
    upgrade();
    const QStringList methods{"card", "cash"};
    EXPECT_EQ(Link(conninfo()).rows("SELECT kind FROM paymentmethods ORDER BY kind"),
              from < shop::receiptsVersion ? methods : QStringList());
}

INSTANTIATE_TEST_SUITE_P(Server, FromEachVersion, testing::Range(1, kNewest));

TEST_F(ServerUpgradeTest, TwoUpgradesAtOnceMakeEachStepOnce) {
    makeShop(1);
    const QStringList before = fingerprint();
    std::atomic<int> made{0};
    // The first holds each step's transaction open a moment, so that the second waits for it.
    const auto slow = [&made](shopupgrade::Stage stage, const StepDescription &) {
        if (stage == shopupgrade::Stage::Made) {
            ++made;
            QThread::msleep(200);
        }
    };
    const auto counted = [&made](shopupgrade::Stage stage, const StepDescription &) {
        if (stage == shopupgrade::Stage::Made)
            ++made;
    };
    shopupgrade::Outcome first, second;
    std::thread one([&] { first = upgrade(slow); });
    QThread::msleep(50);
    std::thread two([&] { second = upgrade(counted); });
    one.join();
    two.join();
    EXPECT_EQ(first.to, kNewest);
    EXPECT_EQ(second.to, kNewest);
    EXPECT_EQ(made.load(), kNewest - 1);
    Link server(conninfo());
    EXPECT_EQ(server.rows("SELECT count(*), count(DISTINCT toversion) FROM shopupgrades"),
              QStringList{QString("%1|%1").arg(kNewest - 1)});
    EXPECT_EQ(fingerprint(), before);
}

struct ServerWriterCase {
    const char *what;
    const char *change; // made by the shop's owner to a shop of the newest version
    const char *says;   // in the refusal and the message; empty: writes are stored
};

TEST_F(ServerUpgradeTest, AShopThisProgramMayNotWriteTakesNoWriteAndSaysWhy) {
    const ServerWriterCase cases[] = {
        {"a newer shop that lets this program write", "UPDATE shopversion SET version = 9", ""},
        {"a shop that needs a newer program",
         "UPDATE shopversion SET version = 9, oldestwriter = '7.2'",
         "is of version 9, which Quillmart 7.2 or later may change; this is Quillmart 1.4."},
        {"a damaged version table", "UPDATE shopversion SET oldestwriter = ''",
         "is damaged (the version table shopversion gives \"\" as the oldest program"},
    };
    Link owner(conninfo());
    for (const ServerWriterCase &c : cases) {
        SCOPED_TRACE(c.what);
        owner.rows("DROP SCHEMA public CASCADE");
        owner.rows("CREATE SCHEMA public");
        makeShop(kNewest);
        owner.rows(c.change);
        const ShopDatabase shop = drivers::open(shoplocation::ofServer(conninfo()));
        RecordingMessageBoxes messages;
        UpgradeCommand::checkServer(shop, messages);
        Connection db = shop.connect();
        QString refused;
        try {
            Transaction transaction(db);
            db.exec("UPDATE Titles SET Qty = Qty + 1");
            transaction.commit();
        } catch (const DataError &error) {
            refused = error.sentence();
        }
        if (*c.says == '\0') {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_TRUE(refused.isEmpty()) << refused.toStdString();
        } else {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_TRUE(messages.shown[0].text.contains(c.says))
                << messages.shown[0].text.toStdString();
            EXPECT_EQ(refused, "This was not stored. " + messages.shown[0].text);
        }
    }
}

TEST_F(ServerUpgradeTest, AScreenOfALaterVersionSaysTheAdministratorUpgradesTheShop) {
    makeShop(1);
    RecordingMessageBoxes messages;
    ShopContext context{drivers::open(shoplocation::ofServer(conninfo())),
                        &messages,
                        nullptr,
                        nullptr,
                        nullptr,
                        {}};
    Connection db = context.shop.connect();
    EXPECT_FALSE(hasShopVersion(context, db, 3));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, shopversion::upgradeFirst(3, 1, false));
    EXPECT_TRUE(messages.shown[0].text.contains("quillmart-upgrade"));
    upgrade();
    EXPECT_TRUE(hasShopVersion(context, db, 3));
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(ServerUpgradeTest, TheReceiptsScreensOnAnOlderShopSayTheAdministratorUpgradesIt) {
    makeShop(1);
    expectUpgradeFirstForLaterScreens(shoplocation::ofServer(conninfo()), 1, false);
}

} // namespace
