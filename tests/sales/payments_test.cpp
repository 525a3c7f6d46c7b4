// Receipts and payments at the counter, on the file and on the server: what a payment typed
// comes to, one receipt stored again and again changing nothing, what the shop refuses, a
// part stored behind the counter's back (an answer lost), the payment window, "Next Customer" on an
// unpaid receipt, and a till login that tries to change a stored receipt.
#include "opendatabase.h"
#include "paymentsfixture.h"
#include "tender.h"

#include <QLineEdit>

namespace {

struct TenderCase {
    const char *name;
    MethodKind kind;
    const char *remaining;
    CashRounding rounding;
    const char *amount, *tendered;
    const char *refusal;                // part of the sentence; empty when taken
    const char *kept, *given, *rounded; // rounded: "" for no rounding line
    bool settles;
};

const TenderCase kTenders[] = {
    {"cash exact", MethodKind::Cash, "10.02", CashRounding::None, "", "", "", "10.02", "0", "",
     true},
    {"cash with change", MethodKind::Cash, "10.02", CashRounding::None, "", "20", "", "10.02",
     "9.98", "", true},
    {"cash rounded down", MethodKind::Cash, "10.02", CashRounding::FiveCents, "", "20", "", "10",
     "10", "-0.02", true},
    {"cash rounded up", MethodKind::Cash, "10.03", CashRounding::FiveCents, "", "10.05", "",
     "10.05", "0", "0.02", true},
    {"cash to ten cents", MethodKind::Cash, "10.05", CashRounding::TenCents, "", "", "", "10.1",
     "0", "0.05", true},
    {"card is exact", MethodKind::Card, "10.02", CashRounding::FiveCents, "", "", "", "10.02", "0",
     "", true},
    {"part by card", MethodKind::Card, "10", CashRounding::None, "4", "", "", "4", "0", "", false},
    {"part in cash", MethodKind::Cash, "10", CashRounding::None, "4", "5", "", "4", "1", "", false},
    {"tender negative", MethodKind::Cash, "10", CashRounding::None, "", "-5", "below 0", "", "", "",
     false},
    {"tender not a number", MethodKind::Cash, "10", CashRounding::None, "", "ten",
     "is not an amount", "", "", "", false},
    {"cash less than due", MethodKind::Cash, "10", CashRounding::None, "", "5", "less than", "", "",
     "", false},
    {"amount not a number", MethodKind::Card, "10", CashRounding::None, "x", "", "is not an amount",
     "", "", "", false},
    {"amount above due", MethodKind::Card, "10", CashRounding::None, "11", "", "more than is due",
     "", "", "", false},
    {"amount zero", MethodKind::Other, "10", CashRounding::None, "0", "", "more than 0", "", "", "",
     false},
};

TEST(Tender, APaymentTypedComesToItsPartsOrIsRefused) {
    for (const TenderCase &c : kTenders) {
        SCOPED_TRACE(c.name);
        const auto taken =
            tender::take(c.kind, money(c.remaining), c.rounding, QString::fromLatin1(c.amount),
                         QString::fromLatin1(c.tendered));
        if (*c.refusal != '\0') {
            ASSERT_TRUE(std::holds_alternative<QString>(taken));
            EXPECT_TRUE(std::get<QString>(taken).contains(QLatin1String(c.refusal)))
                << std::get<QString>(taken).toStdString();
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<tender::Taken>(taken))
            << std::get<QString>(taken).toStdString();
        const tender::Taken &parts = std::get<tender::Taken>(taken);
        EXPECT_EQ(parts.amount, money(c.kept));
        EXPECT_EQ(parts.given, money(c.given));
        EXPECT_EQ(parts.tendered.units(), parts.amount.units() + parts.given.units());
        EXPECT_EQ(parts.rounding.has_value(), *c.rounded != '\0');
        if (parts.rounding) {
            EXPECT_EQ(*parts.rounding, money(c.rounded));
        }
        EXPECT_EQ(parts.settles, c.settles);
    }
}

TEST(Tender, TheCounterShowsAmountsToTheCent) {
    const std::pair<const char *, const char *> cases[] = {{"4.5", "4.50"},      {"0", "0.00"},
                                                           {"300", "300.00"},    {"-0.02", "-0.02"},
                                                           {"12.345", "12.345"}, {"0.05", "0.05"}};
    for (const auto &[amount, shown] : cases)
        EXPECT_EQ(tender::shown(money(amount)), QString::fromLatin1(shown)) << amount;
}

// Each step sends the receipt as the till has it then; the same receipt sent again changes
// nothing, and a line or payment stored before is never stored twice.
TEST_F(Payments, AReceiptSentAgainIsStoredOnce) {
    struct Step {
        int lines;
        int payments;         // cash 25 a payment
        QStringList expected; // stock, sales, lines, payments, receipts
    };
    const Step steps[] = {
        {1, 0, {"8", "1", "1", "0", "A1|0"}}, {1, 0, {"8", "1", "1", "0", "A1|0"}},
        {2, 0, {"6", "2", "2", "0", "A1|0"}}, {2, 1, {"6", "2", "2", "1", "A1|0"}},
        {2, 1, {"6", "2", "2", "1", "A1|0"}}, {2, 2, {"6", "2", "2", "2", "A1|1"}},
        {2, 2, {"6", "2", "2", "2", "A1|1"}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.lines * 10 + step.payments);
        ReceiptRecord record = receiptOf(step.lines);
        for (int p = 1; p <= step.payments; ++p)
            record.payments.push_back(payment(p, 1, "25", "25"));
        const StoredReceipt stored = shop::storeReceipt(*session, record);
        EXPECT_EQ(stored.readable, "A1");
        EXPECT_EQ(state(), step.expected);
    }
    // The next receipt takes the till's next number.
    EXPECT_EQ(
        shop::storeReceipt(*session, receiptOf(1, "00000000-0000-4000-8000-000000000002")).readable,
        "A2");
}

TEST_F(Payments, WhatTheShopRefusesLeavesTheReceiptAsItWas) {
    shop.db.exec("INSERT INTO paymentmethods (Name) VALUES ('Voucher')");
    shop.db.exec("UPDATE paymentmethods SET Removed = 1 WHERE Name = 'Voucher'");
    const qint64 voucher =
        shop.db.scalar("SELECT Method FROM paymentmethods WHERE Name = 'Voucher'").toLongLong();
    shop::storeReceipt(*session, receiptOf(1));
    const QStringList before = state();
    struct Refusal {
        const char *name;
        std::function<void(ReceiptRecord &)> change;
        const char *why;
    };
    const Refusal refusals[] = {
        {"a removed method",
         [&](ReceiptRecord &r) { r.payments.push_back(payment(1, voucher, "5", "5")); },
         "not in use"},
        {"more than due",
         [&](ReceiptRecord &r) { r.payments.push_back(payment(1, 2, "26", "26")); },
         "more than the receipt's total"},
        {"change by card", [&](ReceiptRecord &r) { r.payments.push_back(payment(1, 2, "5", "6")); },
         "only cash"},
        {"rounding the shop does not do", [&](ReceiptRecord &r) { r.rounding = money("0.02"); },
         "does not round"},
        {"a title gone",
         [&](ReceiptRecord &r) {
             r.lines.push_back(
                 {2, 999999, "999", "Gone", money("1"), 1, QDate(2001, 5, 3), QTime(10, 30)});
         },
         "no longer in the catalogue"},
    };
    for (const Refusal &c : refusals) {
        SCOPED_TRACE(c.name);
        ReceiptRecord record = receiptOf(1);
        c.change(record);
        try {
            shop::storeReceipt(*session, record);
            ADD_FAILURE() << "stored";
        } catch (const DataError &error) {
            EXPECT_TRUE(error.sentence().contains(QLatin1String(c.why)))
                << error.description().toStdString();
        }
        EXPECT_EQ(state(), before);
    }
}

// A store whose answer the till never heard leaves the shop a part the counter does not know.
// The counter's next part under that number is refused rather than dropped unseen; the receipt
// is read back, shown again, and the part after it gets the next number.
TEST_F(Payments, APartStoredWhoseAnswerWasLostIsReadBackNotOverwritten) {
    auto payCash = [this] { pay(0, "4", "4"); };
    const qint64 rivers =
        shop.db.scalar("SELECT BOOKNO FROM Titles WHERE ISBN = '222'").toLongLong();
    struct Case {
        const char *name;
        std::function<void(ReceiptRecord &)> behind;
        std::function<void()> next;
        const char *parts; // the receipt's parts as the shop holds them
        QStringList refused, taken;
    };
    const Case cases[] = {
        {"a line",
         [&](ReceiptRecord &r) {
             r.lines.push_back({2, rivers, "222", "Rivers of the North", money("8"), 1,
                                QDate(2001, 5, 3), QTime(10, 30)});
         },
         [&] { sell("111"); },
         "SELECT Line, ISBN, Qty FROM receiptlines WHERE Receipt = '%1'",
         {"1|111|1", "2|222|1"},
         {"1|111|1", "2|222|1", "3|111|1"}},
        {"a payment",
         [&](ReceiptRecord &r) { r.payments.push_back(payment(1, 2, "5", "5")); },
         payCash,
         "SELECT Payment, Method, Amount FROM payments WHERE Receipt = '%1'",
         {"1|2|5"},
         {"1|2|5", "2|1|4"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        shop.messages.answerNext(false); // the last case's receipt stays open
        screen->nextCustomer();
        sell("111");
        const CounterReceipt &counter = screen->payments()->receipt();
        const QString parts =
            QString::fromLatin1(c.parts).arg(counter.record().id) + QStringLiteral(" ORDER BY 1");
        ReceiptRecord lost = counter.record();
        c.behind(lost);
        shop::storeReceipt(*session, lost);
        shop.messages.shown.clear();

        c.next();
        EXPECT_TRUE(shop.messages.texts().join(' ').contains("was stored already as"))
            << shop.messages.texts().join(' ').toStdString();
        EXPECT_EQ(shop.db.rows(parts), c.refused);
        EXPECT_EQ(counter.record().lines.size(), lost.lines.size());
        EXPECT_EQ(counter.record().payments.size(), lost.payments.size());
        EXPECT_EQ(receipt()->lineCount(), static_cast<int>(lost.lines.size()));
        EXPECT_EQ(screen->saleTotal(), counter.total());

        shop.messages.shown.clear();
        c.next();
        EXPECT_TRUE(shop.messages.texts().isEmpty())
            << shop.messages.texts().join(' ').toStdString();
        EXPECT_EQ(shop.db.rows(parts), c.taken);
    }
}

TEST_F(Payments, SplitPaymentInTheWindowUntilPaidInFull) {
    sell("111", "3"); // 37.5
    sell("222");      // 8
    CounterPayments *counter = screen->payments();
    ASSERT_TRUE(counter->enabled());
    EXPECT_EQ(counter->receipt().readable(), "A1");
    CounterReceipt &receipt = const_cast<CounterReceipt &>(counter->receipt());
    PaymentDialog dialog(receipt, shop::paymentMethods(session->connection()), CashRounding::None,
                         shop.messages, shop.clock, [&](const ReceiptRecord &record) {
                             receipt.stored(record, shop::storeReceipt(*session, record));
                             return true;
                         });
    EXPECT_EQ(dialog.dueText(), "45.50");
    dialog.chooseMethod(1); // card
    dialog.amountBox()->setText("20");
    ASSERT_TRUE(dialog.take());
    dialog.chooseMethod(0); // cash
    EXPECT_EQ(dialog.dueText(), "25.50");
    dialog.tenderedBox()->setText("20");
    EXPECT_FALSE(dialog.take()); // less than due: told, and nothing stored
    EXPECT_EQ(dialog.tenderedBox()->text(), "20");
    dialog.tenderedBox()->setText("30");
    ASSERT_TRUE(dialog.take());
    EXPECT_EQ(dialog.changeText(), "4.50");
    EXPECT_TRUE(receipt.isPaid());
    EXPECT_EQ(shop.db.rows("SELECT Payment, Method, Amount, Tendered, Given FROM payments ORDER "
                           "BY Payment"),
              (QStringList{"1|2|20|20|0", "2|1|25.5|30|4.5"}));
    const Receipt printed = screen->customerReceipt();
    EXPECT_EQ(printed.number, "A1");
    EXPECT_EQ(printed.till, "Till 1");
    ASSERT_EQ(printed.payments.size(), 2u);
    EXPECT_EQ(printed.payments[1].given, money("4.5"));
}

TEST_F(Payments, NextCustomerKeepsAnUnpaidReceiptToBePaidLater) {
    sell("111");
    shop.messages.answerNext(false); // keep it open
    screen->nextCustomer();
    EXPECT_EQ(receipt()->lineCount(), 0);
    sell("222");
    shop.messages.answerNext(false);
    screen->nextCustomer();
    const qint64 till = shop::thisTill(session->connection())->id;
    const std::vector<UnpaidReceipt> unpaid = shop::unpaidReceipts(session->connection(), till);
    ASSERT_EQ(unpaid.size(), 2u);
    EXPECT_EQ(unpaid[0].readable, "A1");
    EXPECT_EQ(unpaid[0].total, money("12.5"));
    screen->payments()->reopen(unpaid[0].id);
    EXPECT_EQ(receipt()->lineCount(), 1);
    EXPECT_EQ(screen->saleTotal(), money("12.5"));
    EXPECT_EQ(screen->payments()->receipt().readable(), "A1");
    // A receipt kept open loses no line: both receipts' sales are stored.
    EXPECT_EQ(shop.db.count("soldbook"), 2);
    EXPECT_EQ(shop.db.count("receiptlines"), 2);
}

TEST_F(Payments, PaymentsOffSellsAsBefore) {
    shop::setPaymentsOn(shop.db.connection(), false);
    screen = std::make_unique<SellScreen>(shop.context);
    sell("111");
    screen->nextCustomer();
    EXPECT_FALSE(screen->payments()->enabled());
    EXPECT_EQ(shop.db.count("soldbook"), 1);
    EXPECT_EQ(shop.db.count("receipts"), 0);
    EXPECT_TRUE(shop.messages.texts().isEmpty());
}

// A till's login stores receipts through the shop's function alone: it may neither write nor
// change a stored receipt, line or payment itself.
TEST_F(Payments, ATillLoginCannotChangeAStoredReceiptOrPayment) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_sales_server)";
    const ShopDatabase tillShop = secondTill(QStringLiteral("qmpay_till"));
    auto tillSession = ShopSession::open(tillShop);
    shop::openSession(*tillSession, {Money(), QDateTime(QDate(2001, 5, 3), QTime(9, 0))});
    ReceiptRecord record = receiptOf(1);
    record.payments.push_back(payment(1, 1, "25", "30"));
    EXPECT_EQ(shop::storeReceipt(*tillSession, record).readable, "B1");
    const char *const attempts[] = {
        "UPDATE receipts SET Paid = NULL",
        "UPDATE payments SET Amount = 1",
        "DELETE FROM payments",
        "UPDATE receiptlines SET Qty = 1",
        "INSERT INTO payments (Receipt, Payment, Method, Amount, Tendered, Given, PaidAt) VALUES "
        "('00000000-0000-4000-8000-000000000001', 2, 1, 1, 1, 0, '2001-05-03 10:00:00')",
        "UPDATE tills SET NextNumber = 1",
        "UPDATE shopsettings SET Value = 'off'",
    };
    for (const char *attempt : attempts) {
        SCOPED_TRACE(attempt);
        Connection connection = tillShop.connect();
        EXPECT_THROW(connection.exec(QString::fromLatin1(attempt)), DataError);
    }
    EXPECT_EQ(shop.db.rows("SELECT Amount, Tendered, Given FROM payments"), QStringList{"25|30|5"});
    EXPECT_EQ(shop.db.rows("SELECT Readable, Paid IS NOT NULL FROM receipts"), QStringList{"B1|1"});
}

} // namespace
