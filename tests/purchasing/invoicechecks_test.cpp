// Bills checked against deliveries on the file and on the server: a bill takes the supplier's
// received copies not yet invoiced; one that differs from their cost by more than the tolerance
// is held, and no payment goes through until the office approves it.
#include "invoicechecks.h"
#include "stockfixture.h"

namespace {

class InvoiceChecks : public StockShop {
protected:
    shop::Invoice bill(const char *number, const char *fee) {
        return {QLatin1String(number), QDate(2001, 5, 6), QLatin1String(fee), QTime(9, 30),
                QStringLiteral("Bertram")};
    }
    qint64 rowidOf(const char *number) {
        return shop.db
            .scalar(QStringLiteral("SELECT rowid FROM Bill WHERE [Invoice No] = '%1'")
                        .arg(QLatin1String(number)))
            .toLongLong();
    }
};

TEST_F(InvoiceChecks, BillsAreHeldBeyondTheToleranceUntilApproved) {
    order({{1, 5}, {2, 3}}); // One at 6, Two at 4.5
    const struct {
        const char *name;
        std::initializer_list<std::pair<qint64, qint64>> received; // before the bill
        const char *number, *fee;
        const char *expected;
        bool nothingReceived, held;
    } bills[] = {
        {"matches what came", {{1, 2}, {2, 3}}, "A1", "25.5", "25.5", false, false},
        {"within the tolerance of 1", {{1, 1}}, "A2", "7", "6", false, false},
        {"beyond it", {{1, 2}}, "A3", "14", "12", false, true},
        {"nothing received, no fee", {}, "A4", "", "0", true, false},
        {"nothing received, a fee", {}, "A5", "10", "0", true, true},
    };
    for (const auto &b : bills) {
        SCOPED_TRACE(b.name);
        if (b.received.size() > 0)
            shop::receive(*session, delivery(b.received), true);
        const CheckedInvoice checked =
            shop::recordCheckedInvoice(*session, bill(b.number, b.fee), at(6));
        EXPECT_EQ(checked.expected.text(), b.expected);
        EXPECT_EQ(checked.nothingReceived, b.nothingReceived);
        EXPECT_EQ(checked.held, b.held);
        EXPECT_TRUE(checked.checked);
        EXPECT_EQ(shop::billHold(session->connection(), checked.billRowid).has_value(), b.held);
        EXPECT_EQ(shop::invoiceCheck(session->connection(), QStringLiteral("Bertram")).copies, 0);
    }
    // A supplier the shop does not order from through purchase orders: recorded as ever.
    shop::Invoice other = bill("G1", "10");
    other.supplier = QStringLiteral("Gardners");
    const CheckedInvoice unchecked = shop::recordCheckedInvoice(*session, other, at(6));
    EXPECT_FALSE(unchecked.checked || unchecked.held || unchecked.nothingReceived);
    EXPECT_EQ(shop.db.rows("SELECT Invoiced FROM purchaselines ORDER BY Line"),
              (QStringList{"5", "3"}));
    // A held bill is refused and stays open; once approved it is paid.
    const qint64 held = rowidOf("A3");
    const QString refused = [&] {
        try {
            shop::payBill(*session, held, QDate(2001, 5, 7));
        } catch (const DataError &error) {
            return error.sentence();
        }
        return QStringLiteral("(paid)");
    }();
    EXPECT_TRUE(refused.startsWith("Bill A3 of Bertram is held for the office's approval"))
        << refused.toStdString();
    EXPECT_EQ(shop.db.count("paidbill"), 0);
    const BillHold hold = *shop::billHold(session->connection(), held);
    EXPECT_TRUE(shop::approveHold(*session, hold.hold, at(7)));
    EXPECT_FALSE(shop::approveHold(*session, hold.hold, at(7))); // approved already
    EXPECT_TRUE(shop::payBill(*session, held, QDate(2001, 5, 7)));
    EXPECT_EQ(shop.db.count("paidbill"), 1);
}

TEST_F(InvoiceChecks, ABillThatCannotBeStoredLeavesDeliveriesUninvoiced) {
    order({{1, 2}});
    shop::receive(*session, delivery({{1, 2}}), true);
    EXPECT_NE(refusalOf([&] { shop::recordCheckedInvoice(*session, bill("B1", "abc"), at(6)); }),
              "(done)");
    shop::setInvoiceTolerance(*session, *Money::parse(QStringLiteral("0.5")));
    EXPECT_EQ(shop::invoiceTolerance(session->connection()).text(), "0.5");
    EXPECT_EQ(shop.db.count("Bill"), 0);
    EXPECT_EQ(shop::invoiceCheck(session->connection(), QStringLiteral("Bertram")).expected.text(),
              "12");
}

} // namespace
