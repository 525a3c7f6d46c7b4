// Every supplier's reorder list at once, on the file and on the server: the same lists, in the
// same order, as each supplier's list by itself, whichever supplier counts its sales over days
// of its own.
#include "stockfixture.h"

namespace {

class EverySupplier : public StockShop {
protected:
    void SetUp() override {
        StockShop::SetUp();
        // More of Bertram's titles, in an order their numbers do not give: capitals before
        // small letters and letters beyond ASCII after both, as both engines sort texts.
        shop.db.exec("INSERT INTO Titles (BOOKNO, ISBN, Title, PurchasePrice, Qty, SafeQty, "
                     "Retail) VALUES (4, '444', 'apple', 3, 0, 1, 'Bertram'), (5, '555', "
                     "'Ärger', 3, 0, 2, 'Bertram'), (6, '666', 'Zebra', 3, 0, 1, 'Bertram'), "
                     "(7, '777', 'Zebra', 3, 0, 1, 'Bertram'), (8, '888', 'Idle', 3, 9, 0, "
                     "'Quiet Books')");
        // Sales 5, 40 and 200 days before 3 May.
        shop.db.exec("INSERT INTO soldbook (SoldDate, SoldTime, ISBN, Title, Price, Qty) VALUES "
                     "('2001-04-28', '10:00:00', '0-306-40615-2', 'One', 10, 4), ('2001-03-24', "
                     "'10:00:00', '0-306-40615-2', 'One', 10, 30), ('2000-10-15', '10:00:00', "
                     "'0-306-40615-2', 'One', 10, 100), ('2001-04-28', '10:00:00', '333', "
                     "'Three', 9, 6), ('2001-03-24', '10:00:00', '333', 'Three', 9, 60), "
                     "('2000-10-15', '10:00:00', '333', 'Three', 9, 300), ('2001-04-28', "
                     "'10:00:00', '222', 'Two', 8, 2), ('2001-03-24', '10:00:00', '888', "
                     "'Idle', 3, 60)");
    }
    // "supplier: title quantity, ..." of every supplier, then of each supplier's list alone.
    std::pair<QString, QString> lists(const QDate &today) {
        QStringList all, alone;
        for (const auto &[supplier, list] :
             shop::everyReorderSuggestion(session->connection(), today)) {
            QStringList lines;
            for (const Suggestion &s : list)
                lines << QStringLiteral("%1 %2").arg(s.title).arg(s.quantity);
            all << supplier + QStringLiteral(": ") + lines.join(QStringLiteral(", "));
            lines.clear();
            for (const Suggestion &s :
                 shop::reorderSuggestions(session->connection(), supplier, today))
                lines << QStringLiteral("%1 %2").arg(s.title).arg(s.quantity);
            alone << supplier + QStringLiteral(": ") + lines.join(QStringLiteral(", "));
        }
        return {all.join(QStringLiteral("; ")), alone.join(QStringLiteral("; "))};
    }
};

TEST_F(EverySupplier, AllListsAtOnceAreTheListsOneByOne) {
    const struct {
        const char *name;
        std::vector<std::pair<const char *, ReorderDays>> days; // "" is the shop's own
        const char *expected;
        const char *wanting; // supplier titles/copies, most copies first
    } cases[] = {
        {"the shop's 90, 14 and 30 days",
         {},
         "Bertram: One 20, Two 1, Zebra 1, Zebra 1, apple 1, Ärger 2; Gardners: Three 33; "
         "Quiet Books: Idle 21",
         "Gardners 1/33; Bertram 6/26; Quiet Books 1/21"},
        {"Bertram's 10 days of sales, shorter than the shop's",
         {{"Bertram", {10, 14, 30}}},
         "Bertram: One 21, Two 9, Zebra 1, Zebra 1, apple 1, Ärger 2; Gardners: Three 33; "
         "Quiet Books: Idle 21",
         "Bertram 6/35; Gardners 1/33; Quiet Books 1/21"},
        {"Gardners' year of sales, longer than the shop's 10 days; Quiet Books wants none",
         {{"", {10, 10, 0}}, {"Gardners", {365, 30, 0}}},
         "Bertram: One 7, Two 2, Zebra 1, Zebra 1, apple 1, Ärger 2; Gardners: Three 31; "
         "Quiet Books: ",
         "Gardners 1/31; Bertram 6/14"},
        {"three windows at once",
         {{"", {60, 10, 0}}, {"Bertram", {10, 10, 0}}, {"Gardners", {365, 30, 0}}},
         "Bertram: One 7, Two 2, Zebra 1, Zebra 1, apple 1, Ärger 2; Gardners: Three 31; "
         "Quiet Books: Idle 1",
         "Gardners 1/31; Bertram 6/14; Quiet Books 1/1"},
    };
    const QDate today(2001, 5, 3);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        shop.db.exec("DELETE FROM reordersettings");
        for (const auto &[supplier, days] : c.days)
            shop::setReorderDays(*session, QString::fromUtf8(supplier), days);
        const auto [all, alone] = lists(today);
        EXPECT_EQ(all, QString::fromUtf8(c.expected));
        EXPECT_EQ(all, alone);
        QStringList wanting;
        for (const shop::SupplierWanting &w : shop::suppliersWanting(session->connection(), today))
            wanting << QStringLiteral("%1 %2/%3").arg(w.supplier).arg(w.titles).arg(w.copies);
        EXPECT_EQ(wanting.join(QStringLiteral("; ")), QString::fromUtf8(c.wanting));
    }
}

} // namespace
