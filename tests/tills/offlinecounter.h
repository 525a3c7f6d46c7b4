// The counter of Till F on a fault-test shop (faultserver.h), with the till's own file: the
// shop taking payment, the till's session open, and sales made as a scan and Enter make them.
#pragma once

#include "faultserver.h"
#include "opendatabase.h"
#include "receipts.h"
#include "sellscreen.h"
#include "shopsession.h"
#include "testsupport.h"
#include "tillcopy.h"
#include "tillsessions.h"

#include <QLineEdit>
#include <QTemporaryDir>

namespace faultserver {

// The shop taking payment at Till F, whose session is open; its id.
inline qint64 openTillF(const ServerShop &shop) {
    ownerRows(shop.database(),
              QStringLiteral("INSERT INTO tills (name, prefix, login) VALUES ('Till F', 'F', '%1')")
                  .arg(kTill));
    Connection office = drivers::connect(shop.location());
    shop::addCounterDefaults(office, false);
    shop::setPaymentsOn(office, true);
    ShopSession session(drivers::open(shop.location()));
    return shop::openSession(session, {Money(), QDateTime(QDate(2001, 5, 3), QTime(9, 0))}).id;
}

// A till of the shop with its own file in `folder`: its clock, message boxes and opener.
inline void tillOf(TestShop &till, const ServerShop &shop, const QTemporaryDir &folder,
                   const QString &file) {
    till.context.shop = drivers::open(shop.location());
    till.context.tillCopy = std::make_shared<TillCopy>(TillCopy::fileFor(folder.path(), file));
}

// Sells copies of the title at the counter, as a scan and Enter do.
inline void sell(SellScreen &screen, const char *isbn, const char *copies) {
    screen.findChild<QLineEdit *>("Text1")->setText(QString::fromLatin1(isbn));
    screen.findChild<QLineEdit *>("Text2")->setText(QString::fromLatin1(copies));
    screen.lookup();
    screen.recordSale();
}

} // namespace faultserver
