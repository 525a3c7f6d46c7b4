// A till's day, on the file and on the server: the Z report adds up to the session's receipts,
// refunds, voids, rounding and cash moved; refunds are capped by what was sold; voids take
// back what is not paid; what a session refuses; a till login works its own session only.
#include "opendatabase.h"
#include "paymentsfixture.h"
#include "refunds.h"
#include "voids.h"

#include <functional>

namespace {

QString uuid(int n) {
    return QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0'));
}

QDateTime at(int hour, int minute = 0) {
    return QDateTime(QDate(2001, 5, 3), QTime(hour, minute));
}

class Cashup : public Payments {
public:
    using Payments::session;
    using Payments::shop;
    void SetUp() override {
        Payments::SetUp();
        shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                     "('444', 'Odd Price', 10.02, 5)");
        method["Cash"] = 1;
        method["Card"] = 2;
    }
    qint64 bookNo(const char *isbn) {
        return shop.db.scalar(QStringLiteral("SELECT BOOKNO FROM Titles WHERE ISBN = '%1'")
                                  .arg(QLatin1String(isbn)))
            .toLongLong();
    }
    // A receipt of (ISBN, copies) lines at the titles' prices, paid by the payments given
    // (method, amount, tendered), with the cash rounding given.
    struct Paid {
        const char *method;
        const char *amount;
        const char *tendered;
    };
    QString sell(int n, std::vector<std::pair<const char *, int>> lines,
                 std::vector<Paid> paid = {}, const char *rounding = nullptr) {
        ReceiptRecord record;
        record.id = uuid(n);
        record.opened = at(10, n % 60);
        int line = 0;
        for (const auto &[isbn, copies] : lines) {
            const QString price = shop.db.scalar(QStringLiteral("SELECT [Sale Price] FROM Titles "
                                                                "WHERE ISBN = '%1'")
                                                     .arg(QLatin1String(isbn)))
                                      .toString();
            record.lines.push_back({++line, bookNo(isbn), QLatin1String(isbn), QLatin1String(isbn),
                                    *Money::parse(price), copies, QDate(2001, 5, 3),
                                    QTime(10, n % 60)});
        }
        int number = 0;
        for (const Paid &p : paid)
            record.payments.push_back(
                {++number, method[p.method], money(p.amount), money(p.tendered),
                 Money::fromUnits(money(p.tendered).units() - money(p.amount).units()),
                 at(10, n % 60)});
        if (rounding)
            record.rounding = money(rounding);
        shop::storeReceipt(*session, record);
        return record.id;
    }
    StoredRefund refund(int n, const QString &receipt, std::vector<RefundLineRecord> lines,
                        std::optional<qint64> by = 1, const char *reason = "Faulty") {
        return shop::storeRefund(*session, {uuid(n), receipt, QLatin1String(reason), by,
                                            at(11, n), std::move(lines)});
    }
    RefundLineRecord byIsbn(const char *isbn, const char *price, int copies,
                            bool damaged = false) {
        return {1, 0, bookNo(isbn), QLatin1String(isbn), QLatin1String(isbn), money(price),
                copies, damaged};
    }
    void moveCash(int n, bool in, const char *amount) {
        shop::moveCash(*session, {uuid(n), opened.id, in, money(amount), "Change", at(12, n)});
    }
    void voidLine(int n, const QString &receipt, int line) {
        shop::storeVoid(*session, {uuid(n), receipt, line, "Rung up by mistake", at(10, 50)});
    }
    // The day's takings as the day report adds them: every sale row's price times copies.
    Money dayTotal() {
        Money total;
        for (const QString &row : shop.db.rows("SELECT price, Qty FROM soldbook"))
            total += money(row.section('|', 0, 0).toLatin1()).times(row.section('|', 1).toLongLong());
        return total;
    }
    QStringList figures(const SessionReport &report) {
        QStringList lines{QStringLiteral("%1 receipts %2 sales, %3 voids %4, %5 refunds %6, "
                                         "rounding %7, in %8 out %9")
                              .arg(report.receipts)
                              .arg(report.sales.text())
                              .arg(report.voids)
                              .arg(report.voided.text())
                              .arg(report.refunds)
                              .arg(report.refunded.text(), report.rounding.text(),
                                   report.cashIn.text(), report.cashOut.text())};
        for (const MethodFigures &m : report.methods)
            lines << QStringLiteral("%1 %2-%3=%4 counted %5 off %6")
                         .arg(m.name, m.taken.text(), m.refunded.text(), m.expected.text(),
                              m.counted ? m.counted->text() : QStringLiteral("-"),
                              m.difference.text());
        return lines;
    }
    void reopenWithFloat(const char *openingFloat) {
        shop::closeSession(*session, {opened.id, {}, at(9, 1)});
        opened = shop::openSession(*session, {money(openingFloat), at(9, 2)});
    }
    std::map<QString, qint64> method;
};

struct ZCase {
    const char *name;
    std::function<void(Cashup &)> work;
    std::vector<CountedAmount> counted;
    QStringList z;
};

const ZCase kZCases[] = {
    {"cash with change, card, and rounding",
     [](Cashup &t) {
         t.shop.db.exec("INSERT INTO shopsettings (Setting, Value) VALUES ('CashRounding', "
                        "'0.05') ON CONFLICT (Setting) DO UPDATE SET Value = excluded.Value");
         t.sell(1, {{"111", 1}}, {{"Cash", "12.5", "20"}});
         t.sell(2, {{"222", 1}, {"333", 1}}, {{"Card", "28", "28"}});
         t.sell(3, {{"444", 1}}, {{"Cash", "10", "10"}}, "-0.02");
     },
     {{1, money("120")}, {2, money("28")}},
     {"3 receipts 50.52 sales, 0 voids 0, 0 refunds 0, rounding -0.02, in 0 out 0",
      "Cash 22.5-0=122.5 counted 120 off -2.5", "Card 28-0=28 counted 28 off 0"}},
    {"refunds by receipt and by ISBN, cash in and out",
     [](Cashup &t) {
         const QString r = t.sell(1, {{"111", 2}}, {{"Cash", "25", "25"}});
         t.refund(20, r, {{1, 1, 0, {}, {}, {}, 1, false}});
         t.refund(21, {}, {t.byIsbn("222", "6", 1)}, 2);
         t.moveCash(30, true, "10");
         t.moveCash(31, false, "4");
     },
     {{1, money("118.5")}},
     {"1 receipts 25 sales, 0 voids 0, 2 refunds 18.5, rounding 0, in 10 out 4",
      "Cash 25-12.5=118.5 counted 118.5 off 0", "Card 0-6=-6 counted 0 off 6"}},
    {"a line voided before payment, a receipt voided whole",
     [](Cashup &t) {
         const QString r = t.sell(1, {{"111", 1}, {"222", 1}});
         t.voidLine(20, r, 2);
         t.sell(1, {{"111", 1}, {"222", 1}}, {{"Cash", "12.5", "12.5"}});
         t.voidLine(21, t.sell(2, {{"333", 1}}), 0);
     },
     {{1, money("112.5")}, {2, money("0")}},
     {"2 receipts 40.5 sales, 2 voids 28, 0 refunds 0, rounding 0, in 0 out 0",
      "Cash 12.5-0=112.5 counted 112.5 off 0", "Card 0-0=0 counted 0 off 0"}},
};

void PrintTo(const ZCase &c, std::ostream *out) {
    *out << c.name;
}

class ZReport : public Cashup, public ::testing::WithParamInterface<ZCase> {};

// Each session's work, the Z report its closing stores, and what the day report adds up to
// for the day: the session's sales less its voids and refunds.
TEST_P(ZReport, AddsUpTheSessionsWork) {
    const ZCase &c = GetParam();
    reopenWithFloat("100");
    c.work(*this);
    const SessionReport x = shop::xReport(*session, opened.id, at(17));
    const SessionReport z = shop::closeSession(*session, {opened.id, c.counted, at(18)});
    EXPECT_EQ(figures(z), c.z);
    EXPECT_EQ(z.xReports, std::vector<QDateTime>{at(17)});
    // The X report before the count is the Z report without it.
    const auto uncounted = [](QStringList lines) {
        for (QString &line : lines)
            line = line.section(QStringLiteral(" counted"), 0, 0);
        return lines;
    };
    EXPECT_EQ(uncounted(figures(x)), uncounted(figures(z)));
    EXPECT_EQ(dayTotal(), z.net());
    // Stored, not computed again: a sale in the next session leaves it as it was.
    shop::openSession(*session, {Money(), at(19)});
    sell(90, {{"111", 1}}, {{"Cash", "12.5", "12.5"}});
    EXPECT_EQ(figures(shop::zReport(session->connection(), opened.id)), c.z);
}

INSTANTIATE_TEST_SUITE_P(Sessions, ZReport, ::testing::ValuesIn(kZCases),
                         [](const auto &info) { return std::to_string(info.index); });

// What each refund or void takes back: the copies into stock unless damaged, a sale row of
// the negative quantity at the price given back, the money by its method in the session; the
// same one sent again changes nothing.
TEST_F(Cashup, ARefundOrVoidWritesItsRowsOnce) {
    const QString paid = sell(1, {{"111", 3}}, {{"Cash", "37.5", "37.5"}});
    const QString open = sell(2, {{"222", 2}});
    struct Case {
        const char *name;
        std::function<void()> work;
        const char *isbn;
        int stock;
        QStringList rows; // the title's sale rows: price|copies
        const char *money; // refunds' Method|Amount, or "" for none
    };
    const Case cases[] = {
        {"by receipt", [&] { refund(10, paid, {{1, 1, 0, {}, {}, {}, 2, false}}); }, "111", 9,
         {"12.5|3", "12.5|-2"}, "1|25"},
        {"by ISBN at a lowered price, damaged", [&] { refund(11, {}, {byIsbn("333", "15", 1, true)}, 2); },
         "333", 1, {"15|-1"}, "2|15"},
        {"a void of an unpaid line", [&] { voidLine(12, open, 1); }, "222", 4, {"8|2", "8|-2"}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (int again = 0; again < 2; ++again) {
            c.work();
            EXPECT_EQ(stock(QLatin1String(c.isbn)), c.stock);
            EXPECT_EQ(shop.db.rows(QStringLiteral("SELECT price, Qty FROM soldbook WHERE ISBN = "
                                                  "'%1' ORDER BY Qty DESC")
                                       .arg(QLatin1String(c.isbn))),
                      c.rows);
        }
        if (*c.money != '\0') {
            EXPECT_TRUE(shop.db.rows("SELECT Method, Amount FROM refunds").contains(
                QLatin1String(c.money)));
        }
    }
    EXPECT_EQ(shop.db.rows("SELECT count(*), count(DISTINCT Session) FROM refunds"),
              QStringList{"2|1"});
    // With payments off a refund gives back no money and names no session.
    shop::setPaymentsOn(shop.db.connection(), false);
    refund(13, {}, {byIsbn("111", "12.5", 1)}, std::nullopt);
    EXPECT_EQ(stock("111"), 10);
    EXPECT_EQ(shop.db.rows(QStringLiteral("SELECT Method IS NULL, Session IS NULL, Amount FROM "
                                          "refunds WHERE Refund = '%1'")
                               .arg(uuid(13))),
              QStringList{"1|1|12.5"});
}

// Each refusal says why and leaves stock, sales, refunds and voids as they were.
TEST_F(Cashup, WhatARefundOrVoidRefusesChangesNothing) {
    const QString paid = sell(1, {{"111", 2}}, {{"Cash", "25", "25"}});
    refund(10, paid, {{1, 1, 0, {}, {}, {}, 1, false}});
    const QString open = sell(2, {{"222", 1}, {"333", 1}});
    voidLine(11, open, 2);
    const auto state = [this] {
        return QStringList{QString::number(stock("111")), QString::number(stock("222")),
                           QString::number(shop.db.count("soldbook")),
                           QString::number(shop.db.count("refunds")),
                           QString::number(shop.db.count("voids")),
                           shop.db.rows("SELECT Line, Back FROM linesback ORDER BY Receipt, Line")
                               .join(',')};
    };
    const QStringList before = state();
    struct Case {
        const char *name;
        std::function<void()> work;
        const char *why;
    };
    const Case cases[] = {
        {"more than sold", [&] { refund(20, paid, {{1, 1, 0, {}, {}, {}, 3, false}}); },
         "only 1 of line 1 (111) is left to refund: 2 sold, 1 taken back before"},
        {"a line already refunded", [&] {
             refund(21, paid, {{1, 1, 0, {}, {}, {}, 1, false}, {2, 1, 0, {}, {}, {}, 1, false}});
         }, "only 0 of line 1"},
        {"another shop's receipt", [&] { refund(22, uuid(999), {{1, 1, 0, {}, {}, {}, 1, false}}); },
         "the receipt is not in this shop"},
        {"a receipt not paid", [&] { refund(23, open, {{1, 1, 0, {}, {}, {}, 1, false}}); },
         "not paid: void its lines instead"},
        {"a price raised", [&] { refund(24, {}, {byIsbn("111", "13", 1)}); },
         "cannot be raised above its counter price 12.5"},
        {"a reason not on the list", [&] { refund(25, {}, {byIsbn("111", "1", 1)}, 1, "Whim"); },
         "not in the shop's list"},
        {"no copies", [&] { refund(26, {}, {byIsbn("111", "1", 0)}); }, "at least one copy"},
        {"a method out of use", [&] { refund(27, {}, {byIsbn("111", "1", 1)}, 99); },
         "not in use"},
        {"a void of a paid receipt", [&] { voidLine(28, paid, 1); }, "only a refund"},
        {"a line voided already", [&] { voidLine(29, open, 2); }, "is voided already"},
        {"a line the receipt lacks", [&] { voidLine(30, open, 7); }, "has no line 7"},
        {"a void without a reason",
         [&] { shop::storeVoid(*session, {uuid(31), open, 1, " ", at(12)}); }, "give the reason"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString why = refusalOf(c.work);
        EXPECT_TRUE(why.contains(QLatin1String(c.why))) << why.toStdString();
        EXPECT_EQ(state(), before);
    }
}

// A session refuses a second opening, a close while a receipt is neither paid nor voided, and
// work on a session that is closed; selling then needs a session open again.
TEST_F(Cashup, WhatASessionRefuses) {
    const QString open = sell(1, {{"111", 1}});
    struct Case {
        const char *name;
        std::function<void()> work;
        const char *why;
    };
    const Case cases[] = {
        {"a second session", [&] { shop::openSession(*session, {Money(), at(12)}); },
         "The session was not opened: the till has a session open already"},
        {"a float below 0", [&] { shop::openSession(*session, {money("-1"), at(12)}); },
         "the float cannot be below 0"},
        {"a close with a receipt not paid",
         [&] { shop::closeSession(*session, {opened.id, {}, at(18)}); },
         "the receipt A1 is not paid: the session cannot close until that receipt is paid or "
         "voided"},
        {"a count below 0",
         [&] { shop::closeSession(*session, {opened.id, {{1, money("-1")}}, at(18)}); },
         "below 0"},
        {"cash moved without a reason",
         [&] { shop::moveCash(*session, {uuid(40), opened.id, true, money("1"), "", at(12)}); },
         "give the reason"},
        {"no cash moved", [&] { moveCash(41, false, "0"); }, "more than 0"},
        {"the X report of no session", [&] { shop::xReport(*session, 99, at(12)); },
         "There is no session 99"},
        {"the Z report of an open session", [&] { shop::zReport(session->connection(), opened.id); },
         "is still open"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString why = refusalOf(c.work);
        EXPECT_TRUE(why.contains(QLatin1String(c.why))) << why.toStdString();
    }
    EXPECT_EQ(shop.db.count("tillsessions"), 1);
    voidLine(50, open, 0);
    shop::closeSession(*session, {opened.id, {}, at(18)});
    for (const auto &work : std::vector<std::function<void()>>{
             [&] { moveCash(51, true, "1"); },
             [&] { shop::closeSession(*session, {opened.id, {}, at(19)}); },
             [&] { sell(2, {{"111", 1}}); }})
        EXPECT_NE(refusalOf(work), QStringLiteral("(done)"));
    EXPECT_EQ(refusalOf([&] { sell(2, {{"111", 1}}); }),
              "The receipt was not stored, and nothing of this step changed: the till has no open "
              "session: count the float to open one.");
}

// On a server a till login opens, works and closes its own till's session alone, and may not
// read a session's figures before the count.
TEST_F(Cashup, ATillLoginWorksItsOwnSessionOnly) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_sales_server)";
    const ShopDatabase tillShop = secondTill(QStringLiteral("qmcash_till"));
    auto till = ShopSession::open(tillShop);
    const TillSession own = shop::openSession(*till, {money("50"), at(9)});
    const struct {
        const char *name;
        std::function<void()> work;
        const char *why;
    } cases[] = {
        {"another till's cash", [&] {
             shop::moveCash(*till, {uuid(60), opened.id, true, money("1"), "x", at(12)});
         }, "another till's"},
        {"another till's close", [&] { shop::closeSession(*till, {opened.id, {}, at(18)}); },
         "another till's"},
        {"an X report", [&] { shop::xReport(*till, own.id, at(12)); }, "permission denied"},
        {"writing a session itself", [&] {
             Connection direct = tillShop.connect();
             direct.exec(QStringLiteral("UPDATE tillsessions SET OpeningFloat = 0"));
         }, "permission denied"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString why = refusalOf(c.work);
        EXPECT_TRUE(why.contains(QLatin1String(c.why))) << why.toStdString();
    }
    shop::moveCash(*till, {uuid(61), own.id, false, money("5"), "Stamps", at(12)});
    const SessionReport z = shop::closeSession(*till, {own.id, {{1, money("45")}}, at(18)});
    EXPECT_EQ(z.methods.front().expected, money("45"));
    EXPECT_EQ(shop::xReport(*session, opened.id, at(18)).session.tillName, "Till 1");
}

} // namespace
