// The selling screen's test shop with payments on, this login registered at a till (the file
// is one till) and the till's session open: receipts and payments as a till makes them, and
// payment taken in the payment window as the operator takes it.
#pragma once

#include "counterpayments.h"
#include "opendatabase.h"
#include "paymentdialog.h"
#include "receipts.h"
#include "sellfixture.h"
#include "shopsession.h"
#include "testserver.h"
#include "tillsessions.h"

#include <QApplication>
#include <QTimer>

inline Money money(const char *text) {
    return *Money::parse(QString::fromLatin1(text));
}

class Payments : public Sell {
protected:
    void SetUp() override { startCounter(true); }
    // The shop with or without the till's session open, and the selling screen on it.
    void startCounter(bool openSession) {
        Sell::SetUp();
        if (testserver::enabled())
            shop.db.exec(QStringLiteral("INSERT INTO tills (Name, Prefix, Login) VALUES "
                                        "('Till 1', 'A', '%1')")
                             .arg(testserver::officeLogin()));
        shop::setPaymentsOn(shop.db.connection(), true);
        session = ShopSession::open(shop.context.shop);
        // Selling with payments on needs the till's session open.
        if (openSession)
            opened = shop::openSession(*session,
                                       {Money(), QDateTime(QDate(2001, 5, 3), QTime(9, 0))});
        screen = std::make_unique<SellScreen>(shop.context);
    }
    // Takes a payment in the payment window: the method at this place in its list (0 cash,
    // 1 card), the amount it pays (empty: all that is due) and the cash tendered.
    void pay(int method, const QString &amount = {}, const QString &tendered = {}) {
        QTimer::singleShot(0, [=] {
            auto *dialog = qobject_cast<PaymentDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->chooseMethod(method);
            if (!amount.isEmpty())
                dialog->amountBox()->setText(amount);
            dialog->tenderedBox()->setText(tendered);
            dialog->take();
            dialog->reject();
        });
        screen->payments()->takePayment();
    }
    // A second till on the test server, "Till 2" (prefix B), whose login is a till's only.
    ShopDatabase secondTill(const QString &login) {
        shop.db.exec(QStringLiteral("INSERT INTO tills (Name, Prefix, Login) VALUES ('Till 2', "
                                    "'B', '%1')")
                         .arg(login));
        return drivers::open(
            testserver::locationAs(login, QStringLiteral("LOGIN IN ROLE quillmart_till")));
    }
    ReceiptRecord receiptOf(int lines, const char *id = "00000000-0000-4000-8000-000000000001") {
        ReceiptRecord record;
        record.id = QString::fromLatin1(id);
        record.opened = QDateTime(QDate(2001, 5, 3), QTime(10, 30));
        const qint64 bookNo =
            shop.db.scalar("SELECT BOOKNO FROM Titles WHERE ISBN = '111'").toLongLong();
        for (int i = 1; i <= lines; ++i)
            record.lines.push_back(
                {i, bookNo, "111", "Short", money("12.5"), 2, QDate(2001, 5, 3), QTime(10, 30)});
        return record;
    }
    PaymentRecord payment(int number, qint64 method, const char *amount, const char *tendered) {
        return {number,
                method,
                money(amount),
                money(tendered),
                Money::fromUnits(money(tendered).units() - money(amount).units()),
                QDateTime(QDate(2001, 5, 3), QTime(10, 31))};
    }
    QStringList state() {
        return {QString::number(stock("111")), QString::number(shop.db.count("soldbook")),
                QString::number(shop.db.count("receiptlines")),
                QString::number(shop.db.count("payments")),
                shop.db.rows("SELECT Readable, Paid IS NOT NULL FROM receipts ORDER BY Number")
                    .join(QLatin1Char(','))};
    }
    std::shared_ptr<ShopSession> session;
    TillSession opened; // the till's session, open from 9:00
};

