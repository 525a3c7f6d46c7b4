// The hold slip's rows.
#include "holdslip.h"

#include "conversions.h"
#include "slipprint.h"

#include <QPrinter>

namespace holdslip {

namespace {

// Every row of the slip, groups that stay together.
std::vector<slip::Group> build(const CustomerOrder &order, const QDate &setAside,
                               const QString &shopName, QPrinter &printer) {
    slip::Builder b(printer);
    if (!shopName.isEmpty())
        b.row(shopName, {}, true, false, Qt::AlignHCenter);
    b.row(QStringLiteral("ON HOLD"), {}, true, true, Qt::AlignHCenter);
    b.row(QStringLiteral("Customer order %1").arg(order.orderNo), {}, true, false,
          Qt::AlignHCenter);
    b.rule();
    b.endGroup();
    b.row(QStringLiteral("Customer"), order.customer, true);
    if (!order.phone.isEmpty())
        b.row(QStringLiteral("Phone"), order.phone);
    if (!order.email.isEmpty())
        b.row(QStringLiteral("E-mail"), order.email);
    b.gap();
    b.row(order.title, {}, true);
    b.row(QStringLiteral("ISBN %1").arg(order.isbn),
          order.quantity == 1 ? QStringLiteral("1 copy")
                              : QStringLiteral("%1 copies").arg(order.quantity));
    if (order.deposit > Money())
        b.row(QStringLiteral("Deposit paid"), order.deposit.text());
    b.row(QStringLiteral("Set aside"), conv::dateText(setAside));
    b.rule();
    b.endGroup();
    return b.groups();
}

} // namespace

int print(const CustomerOrder &order, const QDate &setAside, const QString &shopName,
          QPrinter &printer) {
    return slip::paint(slip::layOut(build(order, setAside, shopName, printer), printer), printer);
}

} // namespace holdslip
