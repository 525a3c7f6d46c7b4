// The lists of customer orders the shop works from, the shop's limits for them in days, and
// the daily wipe of the names and contacts of finished orders.
#pragma once

#include "customerorders.h"

#include <QDate>
#include <QString>

#include <vector>

class Connection;
class ShopDatabase;
class ShopSession;

enum class OrderList {
    Open,        // every order not finished, oldest first
    ToPlace,     // requested, not yet ordered: by supplier, then oldest first
    ToTell,      // arrived and set aside, the customer not told yet: oldest arrival first
    NotCollected // arrived or told longer ago than the shop's limit for collection
};

enum class OrderLimit { WaitingDays, AbandonDays, WipeDays };

struct OrderLine {
    CustomerOrder order;
    // Waiting longer than the shop's limit (an open order), or past its time to collect.
    bool overLimit = false;
};

namespace shop {

// The limit as the shop set it, or its starting value (14, 30, 90 days).
int orderLimit(Connection &connection, OrderLimit limit);
void setOrderLimit(ShopSession &session, OrderLimit limit, int days);

std::vector<OrderLine> orderList(Connection &connection, OrderList list, const QDate &today);
// The open orders of a title, oldest first: whom copies that arrive go to first.
std::vector<CustomerOrder> openOrdersOf(Connection &connection, qint64 bookNo);

// Blanks the name and contact of orders finished longer ago than the shop keeps them, once a
// day: the first program to start on `today` does it, the others find it done. True when this
// call wiped.
bool wipeFinishedOrders(ShopSession &session, const QDate &today);
// The same when a program starts on the shop: nothing in a shop older than customer orders,
// and a failure leaves it to the next start.
void wipeAtStart(const ShopDatabase &shop, const QDate &today);

// What every export or print of these lists says first.
QString personalDataNotice();

} // namespace shop
