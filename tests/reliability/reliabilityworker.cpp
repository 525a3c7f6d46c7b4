// Sells or pays bills through the real screens, one after another, backs the shop up again and
// again, or takes receipts as the counter stores them (on a file or a server), until it is
// killed:
//   reliability_worker sell|pay|backup|receipts <shop location>
// It prints "ready" once its screen is open (or before the first backup or receipt). Messages
// go to stderr; confirmations are OK.
#include "allscreens.h"
#include "clock.h"
#include "messageboxes.h"
#include "opendatabase.h"
#include "receipts.h"
#include "recordsource.h"
#include "refunds.h"
#include "screenopener.h"
#include "screenregistry.h"
#include "shopbackups.h"
#include "shopsession.h"
#include "tillcopy.h"
#include "tillsessions.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QUuid>
#include <cstdio>
#include <memory>

namespace {

class StderrMessages : public MessageBoxes {
public:
    void inform(const QString &text, Icon, const QString &, const QString &details) override {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(text), qPrintable(details));
    }
    bool confirm(const QString &, const QString &, const QString &) override { return true; }
};

class NoOpener : public ScreenOpener {
public:
    QWidget *openNew(const QString &) override { return nullptr; }
    QWidget *openShared(const QString &) override { return nullptr; }
    void close(QWidget *) override {}
};

void press(QWidget *screen, const char *name) {
    screen->findChild<QPushButton *>(QString::fromLatin1(name))->click();
}

// Sells 1 to 3 copies of each of the twenty titles in turn.
[[noreturn]] void sell(QWidget *screen) {
    auto *isbn = screen->findChild<QLineEdit *>(QStringLiteral("Text1"));
    auto *quantity = screen->findChild<QLineEdit *>(QStringLiteral("Text2"));
    for (unsigned n = 0;; ++n) {
        isbn->setText(QStringLiteral("97800000000%1").arg(n % 20, 2, 10, QLatin1Char('0')));
        quantity->setText(QString::number(1 + n % 3));
        press(screen, "Command1"); // List
        press(screen, "Command2"); // OK
    }
}

// Pays Ace Books' open bills, the first listed each time.
[[noreturn]] void pay(QWidget *screen) {
    screen->findChild<QComboBox *>(QStringLiteral("DataCombo1"))
        ->setEditText(QStringLiteral("Ace Books"));
    press(screen, "Command1"); // Query List
    auto *bills = screen->findChild<RecordSource *>(QStringLiteral("Adodc1"));
    for (;;) {
        bills->moveFirst();
        press(screen, "Command2"); // Pay Confirm
    }
}

// Backups one second apart on the clock, as fast as they can be made.
[[noreturn]] void backUp(const QString &database) {
    const ShopBackups backups(database);
    QDateTime when(QDate(2001, 5, 3), QTime(10, 30, 0));
    for (;;) {
        when = when.addSecs(1);
        backups.take(when);
    }
}

// Receipts as the counter stores them: each booked line, then each payment, one store of the
// whole receipt each (so a kill can land between any two, or inside one). One to three lines;
// 5.00 of it by card, the rest in cash with 7.50 change. Every other receipt then has a copy
// of its first line refunded in cash, and every fifth closes the till's session (counted
// blind as empty) and opens the next: a kill can land inside a refund or a close too.
[[noreturn]] void takeReceipts(const QString &location) {
    ShopSession session(drivers::open(location));
    Connection &db = session.connection();
    std::vector<ReceiptLineRecord> titles;
    Statement select = db.prepare("SELECT BOOKNO, ISBN, Title, [Sale Price] FROM Titles");
    while (select.step())
        titles.push_back({0, select.value(0).toLongLong(), select.value(1).toString(),
                          select.value(2).toString(), *Money::fromValue(select.value(3)), 1,
                          QDate(2001, 5, 3), QTime(10, 30)});
    qint64 cash = 0, card = 0;
    for (const PaymentMethod &method : shop::paymentMethods(db)) {
        if (method.kind == MethodKind::Cash)
            cash = method.id;
        else if (method.kind == MethodKind::Card)
            card = method.id;
    }
    const QDateTime at(QDate(2001, 5, 3), QTime(10, 31));
    // The session a killed worker left open, or a new one.
    const qint64 till = shop::thisTill(db)->id;
    if (!shop::openSessionOf(db, till))
        shop::openSession(session, {Money(), at});
    const auto uuid = [] { return QUuid::createUuid().toString(QUuid::WithoutBraces); };
    std::puts("ready");
    std::fflush(stdout);
    for (unsigned n = 0;; ++n) {
        ReceiptRecord receipt{
            QUuid::createUuid().toString(QUuid::WithoutBraces), at, {}, {}, {}, {}};
        Money total;
        for (unsigned line = 1; line <= 1 + n % 3; ++line) {
            ReceiptLineRecord sold = titles[(n + line) % titles.size()];
            sold.line = int(line);
            sold.quantity = 1 + (n + line) % 2;
            total += sold.price.times(sold.quantity);
            receipt.lines.push_back(sold);
            shop::storeReceipt(session, receipt);
        }
        const Money byCard = Money::fromUnits(5 * Money::unitsPerOne);
        const Money change = Money::fromUnits(75 * Money::unitsPerOne / 10);
        const Money rest = Money::fromUnits(total.units() - byCard.units());
        receipt.payments.push_back({1, card, byCard, byCard, Money(), at});
        shop::storeReceipt(session, receipt);
        receipt.payments.push_back({2, cash, rest, rest + change, change, at});
        receipt.paidAt = at;
        shop::storeReceipt(session, receipt);
        if (n % 2 == 0)
            shop::storeRefund(session, {uuid(),
                                        receipt.id,
                                        QStringLiteral("Faulty"),
                                        cash,
                                        at,
                                        {{1, 1, 0, {}, {}, {}, 1, false}}});
        if (n % 5 == 4) {
            shop::closeSession(session, {shop::openSessionOf(db, till)->id, {}, at});
            shop::openSession(session, {Money(), at});
        }
    }
}

// A till selling while its server is away: each receipt kept in its own file, then "printed"
// (its number written out), until the worker is killed.
[[noreturn]] void sellOffline(const QString &path) {
    TillCopy copy(path);
    const QDateTime at(QDate(2001, 5, 3), QTime(10, 31));
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        const qint64 number =
            copy.queueReceipt({QUuid::createUuid().toString(QUuid::WithoutBraces),
                               at,
                               {{1, 1, QStringLiteral("9780000000001"), QStringLiteral("T"),
                                 Money::fromUnits(125000), 1, at.date(), at.time()}},
                               {},
                               {},
                               {}});
        std::printf("printed %lld\n", static_cast<long long>(number));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QStringList modes{"sell", "pay", "backup", "receipts", "offline"};
    if (args.size() != 3 || !modes.contains(args[1])) {
        std::fputs("usage: reliability_worker sell|pay|backup|receipts <shop location> | offline "
                   "<till file>\n",
                   stderr);
        return 2;
    }
    if (args[1] == "backup") {
        std::puts("ready");
        std::fflush(stdout);
        backUp(args[2]);
    }
    if (args[1] == "offline")
        sellOffline(args[2]);
    if (args[1] == "receipts") {
        try {
            takeReceipts(args[2]);
        } catch (const std::exception &error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
    }
    StderrMessages messages;
    FixedClock clock(QDate(2001, 5, 3), QTime(10, 30, 0));
    NoOpener opener;
    const ShopContext context{drivers::open(args[2]), &messages, &clock, &opener, nullptr, {}};
    ScreenRegistry registry;
    registerAllScreens(registry);
    const bool selling = args[1] == "sell";
    std::unique_ptr<QWidget> screen(registry.create(
        selling ? QStringLiteral("frmSell") : QStringLiteral("frmCheckPay"), context));
    std::puts("ready");
    std::fflush(stdout);
    if (selling)
        sell(screen.get());
    pay(screen.get());
}
