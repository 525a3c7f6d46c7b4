// A shop with three titles from two suppliers, for the stock cycle: orders made and sent as
// the operator's steps make them, deliveries received, and what the shop then holds.
#pragma once

#include "purchaseorders.h"
#include "receiving.h"
#include "reorder.h"
#include "shopsession.h"
#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>

class StockShop : public ::testing::Test {
protected:
    void SetUp() override {
        // One: 2 on the shelf, safe at 5; Two: none, no safe quantity; Three: another supplier's.
        shop.db.exec("INSERT INTO Titles (BOOKNO, ISBN, Title, [Sale Price], PurchasePrice, Qty, "
                     "SafeQty, Retail) VALUES (1, '0-306-40615-2', 'One', 10, 6, 2, 5, "
                     "'Bertram'), (2, '222', 'Two', 8, 4.5, 0, 0, 'Bertram'), (3, '333', "
                     "'Three', 9, 5, 1, 1, 'Gardners')");
        session = ShopSession::open(shop.context.shop);
    }
    static QDateTime at(int day, int hour = 10) {
        return QDateTime(QDate(2001, 5, day), QTime(hour, 0));
    }
    // A draft of these titles and copies (BOOKNO, copies), sent unless asked otherwise.
    qint64 order(std::initializer_list<std::pair<qint64, qint64>> lines, bool send = true,
                 const char *supplier = "Bertram") {
        std::vector<NewPurchaseLine> drafted;
        for (const auto &[bookNo, copies] : lines)
            drafted.push_back({bookNo, copies, std::nullopt, 0});
        const qint64 orderNo =
            shop::createPurchaseOrder(*session, QLatin1String(supplier), drafted, at(1));
        if (send)
            shop::sendPurchaseOrder(*session, orderNo, at(1, 11));
        return orderNo;
    }
    Delivery delivery(std::initializer_list<std::pair<qint64, qint64>> lines, qint64 orderNo = 0,
                      const char *supplier = "Bertram") {
        Delivery d;
        d.supplier = QLatin1String(supplier);
        d.orderNo = orderNo;
        for (const auto &[bookNo, copies] : lines)
            d.lines.push_back({bookNo, copies, std::nullopt});
        d.at = at(4);
        return d;
    }
    // Each line of the order as "ordered/received/cancelled", then the order's state.
    QString orderNow(qint64 orderNo) {
        QStringList lines =
            shop.db.rows(QStringLiteral("SELECT Ordered || '/' || Received || '/' || Cancelled "
                                        "FROM purchaselines WHERE OrderNo = %1 ORDER BY Line")
                             .arg(orderNo));
        lines << shop.db
                     .scalar(QStringLiteral("SELECT State FROM purchaseorders WHERE OrderNo = %1")
                                 .arg(orderNo))
                     .toString();
        return lines.join(QLatin1Char(' '));
    }
    QString stock() {
        return shop.db.rows("SELECT Qty FROM Titles ORDER BY BOOKNO").join(QLatin1Char(' '));
    }
    // What a refused step must leave as it was.
    QStringList held() {
        return {stock(),
                shop.db.rows("SELECT Line, Received, Cancelled FROM purchaselines ORDER BY Line")
                    .join(QLatin1Char(',')),
                shop.db.rows("SELECT OrderNo, State FROM purchaseorders ORDER BY OrderNo")
                    .join(QLatin1Char(',')),
                QString::number(shop.db.count("deliveries")),
                QString::number(shop.db.count("deliverylines"))};
    }
    TestShop shop;
    std::shared_ptr<ShopSession> session;
};
