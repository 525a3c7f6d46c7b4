// The login a server shop is worked as, read from the server's catalogue: the superuser, a
// login that bypasses row security, the owner and a login of neither role are refused naming
// the logins to use; a till opens the counter's screens and its reports, is refused the back
// office's naming the role, and sees those commands marked; the rows its killed program left
// in the scratch tables are cleared when it starts, and no other login's.
#include "allscreens.h"
#include "opendatabase.h"
#include "serverroles.h"
#include "shellfixture.h"
#include "testserver.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

struct LoginCase {
    const char *login;
    const char *options; // as the server's administrator made it
    const char *refusal; // a part of the refusal at start; none when the login may work
    QStringList opens, refused;
};

const LoginCase kLogins[] = {
    {"quillmart", "", "it is a superuser", {}, {"frmSell"}}, // the test server's superuser
    {"qmgate_bypass",
     "LOGIN BYPASSRLS IN ROLE quillmart_office",
     "bypasses row security",
     {},
     {"frmSell"}},
    {"qmgate_owner",
     "LOGIN IN ROLE quillmart_office, quillmart",
     "owns the shop's tables",
     {},
     {"frmSell"}},
    {"qmgate_nobody", "LOGIN", "member of neither", {}, {"A1A2"}},
    {"qmgate_till",
     "LOGIN IN ROLE quillmart_till",
     "",
     {"frmSell", "frmBookQuery", "A1A2", "frmDayReport", "frmMonthRpt", "frmTillSessions"},
     {"frmInvoice", "frmCheckPay", "OnSaleReg", "dataSoldBook", "frmSafe", "frmXReport",
      "dataRefundReasons", "frmRefusedReceipts"}},
    {"qmgate_office",
     "LOGIN IN ROLE quillmart_office",
     "",
     {"frmSell", "A1A2", "frmInvoice", "frmCheckPay", "OnSaleReg", "dataSoldBook", "frmBill",
      "frmXReport", "frmTillSessions", "frmRefusedReceipts"},
     {}},
};

TEST(LoginGate, TheLoginDecidesWhichScreensOpen) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_shell_server)";
    for (const LoginCase &c : kLogins) {
        SCOPED_TRACE(c.login);
        ShellFixture f;
        f.shop.context.shop = drivers::open(testserver::locationAs(c.login, c.options));
        // Rows its program left when it was killed, and another login's.
        Connection owner = drivers::connect(testserver::ownerLocation());
        owner.exec(QStringLiteral("INSERT INTO tmp (A, B, C, till) VALUES ('1', 'left', '1', "
                                  "'%1'), ('2', 'another', '1', 'qmgate_other')")
                       .arg(c.login));
        auto window = f.makeWindow();
        registerAllScreens(window->screens());
        window->checkLogin();

        const QString refusal = *c.refusal != '\0' ? QString::fromUtf8(c.refusal) : QString();
        if (!refusal.isEmpty()) {
            ASSERT_EQ(f.shop.messages.texts().size(), 1);
            const QString told = f.shop.messages.texts().first();
            EXPECT_TRUE(told.contains(refusal) && told.contains(c.login) &&
                        told.contains(serverroles::kTill) && told.contains(serverroles::kOffice))
                << told.toStdString();
            EXPECT_EQ(owner.scalar("SELECT count(*) FROM tmp").toInt(), 2);
        } else {
            EXPECT_EQ(f.shop.messages.texts(), QStringList());
            EXPECT_EQ(owner.scalar("SELECT string_agg(B, ',') FROM tmp").toString(), "another");
        }
        for (const QString &screen : c.opens) {
            EXPECT_NE(window->openNew(screen), nullptr) << screen.toStdString();
            EXPECT_EQ(f.shop.messages.texts(), QStringList()) << screen.toStdString();
        }
        f.shop.messages.shown.clear();
        for (const QString &screen : c.refused) {
            EXPECT_EQ(window->openNew(screen), nullptr) << screen.toStdString();
            ASSERT_EQ(f.shop.messages.texts().size(), 1) << screen.toStdString();
            const QString told = f.shop.messages.texts().takeFirst();
            EXPECT_TRUE(told.contains(refusal.isEmpty() ? QString(serverroles::kOffice) : refusal))
                << told.toStdString();
            f.shop.messages.shown.clear();
        }
        // The menu shows which commands this login may not use, and why.
        auto *invoice = window->findChild<QAction *>("mnuPurchaseInvoice");
        auto *sell = window->findChild<QAction *>("mnuSaleSell");
        ASSERT_TRUE(invoice && sell);
        const bool till = QLatin1String(c.login) == QLatin1String("qmgate_till");
        EXPECT_EQ(!invoice->icon().isNull(), till);
        EXPECT_EQ(invoice->toolTip().contains(serverroles::kOffice), till);
        EXPECT_TRUE(sell->icon().isNull());
        // Also when the server could first be asked only as a screen opened.
        auto later = f.makeWindow();
        registerAllScreens(later->screens());
        later->openNew(c.opens.value(0, "frmSell"));
        EXPECT_EQ(!later->findChild<QAction *>("mnuPurchaseInvoice")->icon().isNull(), till);
        owner.exec("DELETE FROM tmp");
    }
}

} // namespace
