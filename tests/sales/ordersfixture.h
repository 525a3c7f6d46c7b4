// Customer orders on the payments test shop (the till's session open): orders taken, moved to
// any state by the operations the operator's steps call, and what the shop then holds.
#pragma once

#include "customerorders.h"
#include "orderlists.h"
#include "paymentsfixture.h"

#include <functional>

class Orders : public Payments {
protected:
    void SetUp() override {
        Payments::SetUp();
        // 4: a title with two copies on the shelf; 978...: the ISBN-13 of a book on hand.
        shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty, Retail) VALUES "
                     "('0-306-40615-2', 'Lost Maps', 15, 2, 'Bertram')");
    }
    static QString uuid(int n) {
        return QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0'));
    }
    static QDateTime at(int day, int hour = 10) {
        return QDateTime(QDate(2001, 5, day), QTime(hour, 0));
    }
    NewOrder newOrder(qint64 copies = 1, const char *isbn = "0306406152") {
        NewOrder order;
        order.customer = QStringLiteral("Ada Finch");
        order.phone = QStringLiteral("01632 960001");
        order.isbn = QLatin1String(isbn);
        order.quantity = copies;
        order.at = at(3);
        return order;
    }
    qint64 take(qint64 copies = 1, int day = 3) {
        NewOrder order = newOrder(copies);
        order.at = at(day);
        return shop::takeOrder(*session, order).orderNo;
    }
    DepositMoney deposit(int n, qint64 order, const char *amount) {
        return {uuid(n), order, opened.id, 1, money(amount), at(4)};
    }
    // Moves the order as the operator's step for `to` does.
    void moveTo(qint64 order, OrderState to, ShopSession *on = nullptr) {
        ShopSession &s = on ? *on : *session;
        switch (to) {
        case OrderState::Arrived:
            return shop::setAside(s, order, at(5));
        case OrderState::Collected:
            shop::collect(s, order, {}, at(6));
            return;
        case OrderState::Told:
            return shop::moveOrder(s, order, to, at(5, 12), ToldBy::Phone);
        default:
            return shop::moveOrder(s, order, to, at(5));
        }
    }
    // An order brought to `state` along the usual road.
    qint64 orderIn(OrderState state) {
        const qint64 order = take();
        using S = OrderState;
        const std::vector<S> road =
            state == S::Cancelled   ? std::vector<S>{S::Cancelled}
            : state == S::Abandoned ? std::vector<S>{S::Ordered, S::Arrived, S::Abandoned}
            : state == S::Collected ? std::vector<S>{S::Ordered, S::Arrived, S::Collected}
            : state == S::Told      ? std::vector<S>{S::Ordered, S::Arrived, S::Told}
            : state == S::Arrived   ? std::vector<S>{S::Ordered, S::Arrived}
            : state == S::Ordered   ? std::vector<S>{S::Ordered}
                                    : std::vector<S>{};
        for (S step : road)
            moveTo(order, step);
        return order;
    }
    QString stateOf(qint64 order) {
        return shop.db
            .scalar(
                QStringLiteral("SELECT State FROM customerorders WHERE OrderNo = %1").arg(order))
            .toString();
    }
    // What a refused step must leave as it was.
    QStringList held() {
        return {shop.db
                    .rows("SELECT OrderNo, State, Deposit FROM customerorders ORDER BY "
                          "OrderNo")
                    .join(QLatin1Char(',')),
                QString::number(shop.db.count("orderhistory")),
                shop.db.rows("SELECT BOOKNO, Held FROM heldcopies").join(QLatin1Char(',')),
                QString::number(shop.db.count("orderholds")),
                QString::number(shop.db.count("orderdeposits")),
                QString::number(shop.db.count("Titles"))};
    }
};
