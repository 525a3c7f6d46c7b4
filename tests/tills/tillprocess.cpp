// One till (or back-office computer) of the several-tills test: its own program and its own
// connection to the shop on the server, doing the shop's work through the shop's operations
// until its time is up, and writing down what it did.
//
//   quillmart_tillprocess till|office NAME LOCATION START-MS SECONDS SEED LOG
//
// A till sells random quantities of random titles on receipts of one to three lines, each
// line stored as it is booked, and takes payment for each (part by card, the rest in cash
// with change), as the counter does; a back-office computer adds deliveries
// and pays the open bills in their order (so that every office tries every bill), and now and
// then sells too. Both build the top-sellers summary now and then, and the back office the
// bill listing, and check that they see only their own. The log has one line per
// fact: "sold ISBN SALES COPIES", "delivered ISBN DELIVERIES COPIES", "receipt READABLE
// DUE PAID PAYMENTS" (amounts in units of Money), "paid INVOICE",
// "gone INVOICE" (a bill another process had paid first), "conflict TEXT" (work the server
// refused because of another till's, reported after the session's retries), "error TEXT"
// (anything else), and counts: "sales N", "summaries N", "listings N".
#include "dataerror.h"
#include "opendatabase.h"
#include "receipts.h"
#include "shopoperations.h"
#include "shopsession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QSet>
#include <QTextStream>
#include <QThread>
#include <QUuid>
#include <cstdio>

namespace {

// Every process books on the same day, whatever the clock says, so that the summary of the day
// holds every sale of the run.
const QDate kDay(2001, 5, 3);

struct Title {
    qint64 bookNo = 0;
    QString isbn, title;
    double price = 0;
};

struct Bill {
    qint64 rowid = 0;
    QString number;
};

struct Tally {
    int times = 0;
    qint64 copies = 0;
};

class Computer {
public:
    Computer(QString name, const QString &location, quint32 seed)
        : name_(std::move(name)), session_(drivers::open(location)), random_(seed) {}

    void readShop(bool office) {
        Statement titles = session_.connection().prepare(
            "SELECT BOOKNO, ISBN, Title, [Sale Price] FROM Titles ORDER BY BOOKNO");
        while (titles.step())
            titles_.push_back({titles.value(0).toLongLong(), titles.value(1).toString(),
                               titles.value(2).toString(), titles.value(3).toDouble()});
        if (!office)
            return; // the bills are the back office's
        Statement bills =
            session_.connection().prepare("SELECT rowid, [Invoice No] FROM Bill ORDER BY rowid");
        while (bills.step())
            bills_.push_back({bills.value(0).toLongLong(), bills.value(1).toString()});
    }

    void sell() {
        const Title &title = randomTitle();
        const int copies = int(random_.bounded(1, 5));
        SaleLine sale{title.bookNo, title.isbn, title.title, *Money::fromDouble(title.price),
                      copies};
        if (attempt("sale", [&] { shop::bookSale(session_, sale, kDay, QTime::currentTime()); })) {
            sold_[title.isbn].times++;
            sold_[title.isbn].copies += copies;
            ++sales_;
        }
    }

    // One customer's receipt: its lines stored one by one, then paid in two payments.
    void sellReceipt() {
        if (cash_ == 0)
            readMethods();
        ReceiptRecord receipt;
        receipt.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        receipt.opened = QDateTime(kDay, QTime::currentTime());
        StoredReceipt stored;
        Money due;
        const int lines = int(random_.bounded(1, 4));
        for (int line = 1; line <= lines; ++line) {
            const Title &title = randomTitle();
            const int copies = int(random_.bounded(1, 5));
            receipt.lines.push_back({line, title.bookNo, title.isbn, title.title,
                                     *Money::fromDouble(title.price), copies, kDay,
                                     QTime::currentTime()});
            if (!attempt("receipt line", [&] { stored = shop::storeReceipt(session_, receipt); }))
                return; // left unpaid, and the error says why
            sold_[title.isbn].times++;
            sold_[title.isbn].copies += copies;
            ++sales_;
            due += receipt.lines.back().price.times(copies);
        }
        // Whole cents by card, up to 99 per cent of it.
        const Money byCard = Money::fromUnits(due.units() * random_.bounded(0, 100) / 10000 * 100);
        const Money rest = Money::fromUnits(due.units() - byCard.units());
        const Money change = Money::fromUnits(Money::unitsPerOne * random_.bounded(0, 20));
        const QDateTime at(kDay, QTime::currentTime());
        if (byCard.units() > 0)
            receipt.payments.push_back(
                {int(receipt.payments.size()) + 1, card_, byCard, byCard, Money(), at});
        receipt.payments.push_back(
            {int(receipt.payments.size()) + 1, cash_, rest, rest + change, change, at});
        receipt.paidAt = at;
        if (!attempt("receipt payment", [&] { stored = shop::storeReceipt(session_, receipt); }))
            return;
        Money paid;
        for (const PaymentRecord &payment : receipt.payments)
            paid += payment.amount;
        receipts_ << QStringLiteral("receipt %1 %2 %3 %4")
                         .arg(stored.readable)
                         .arg(due.units())
                         .arg(stored.paid ? paid.units() : -1)
                         .arg(receipt.payments.size());
    }

    void deliver() {
        const Title &title = randomTitle();
        const int copies = int(random_.bounded(1, 7));
        if (attempt("delivery", [&] { shop::addDelivery(session_, title.bookNo, copies); })) {
            delivered_[title.isbn].times++;
            delivered_[title.isbn].copies += copies;
        }
    }

    // The next bill in order that this process has not tried yet; false when none is left.
    bool payNext() {
        if (nextBill_ >= bills_.size())
            return false;
        pay(bills_[nextBill_++]);
        return true;
    }
    // The top-sellers summary of today: one row per ISBN, each counting at least the copies
    // this till has sold of it (its sales are stored); rows of another till would show as a
    // second row of an ISBN or as counts of a summary built at another moment.
    void checkSummary() {
        if (!attempt("summary", [&] { shop::buildTopSellers(session_, kDay, kDay); }))
            return;
        attempt("summary read", [&] {
            QSet<QString> seen;
            Statement rows = session_.connection().prepare("SELECT A, C FROM tmp");
            while (rows.step()) {
                const QString isbn = rows.value(0).toString();
                if (seen.contains(isbn))
                    fail(QStringLiteral("the summary shows %1 twice").arg(isbn));
                seen.insert(isbn);
                if (rows.value(1).toString().toLongLong() < sold_.value(isbn).copies)
                    fail(QStringLiteral("the summary counts %1 copies of %2; this till alone "
                                        "sold %3")
                             .arg(rows.value(1).toString(), isbn)
                             .arg(sold_.value(isbn).copies));
            }
            for (auto it = sold_.cbegin(); it != sold_.cend(); ++it)
                if (!seen.contains(it.key()))
                    fail(QStringLiteral("the summary lacks %1, sold here").arg(it.key()));
        });
        ++summaries_;
    }

    // The bill listing: the bills copied, each under this till's name, and no other row.
    void checkListing() {
        QList<qint64> rowids;
        for (int i = 0; i < 5 && !bills_.empty(); ++i)
            rowids << bills_[random_.bounded(quint32(bills_.size()))].rowid;
        if (!attempt("listing", [&] { shop::copyBillListing(session_, rowids, name_); }))
            return;
        attempt("listing read", [&] {
            Statement rows = session_.connection().prepare("SELECT RetName FROM tempPay");
            int count = 0;
            while (rows.step()) {
                ++count;
                if (rows.value(0).toString() != name_)
                    fail(QStringLiteral("the bill listing shows a row of %1")
                             .arg(rows.value(0).toString()));
            }
            if (count > rowids.size())
                fail(QStringLiteral("the bill listing has %1 rows for %2 bills")
                         .arg(count)
                         .arg(rowids.size()));
        });
        ++listings_;
    }

    void writeLog(const QString &path) const {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        QTextStream out(&file);
        out << "name " << name_ << "\n";
        for (auto it = sold_.cbegin(); it != sold_.cend(); ++it)
            out << "sold " << it.key() << ' ' << it->times << ' ' << it->copies << "\n";
        for (auto it = delivered_.cbegin(); it != delivered_.cend(); ++it)
            out << "delivered " << it.key() << ' ' << it->times << ' ' << it->copies << "\n";
        for (const QString &receipt : receipts_)
            out << receipt << "\n";
        for (const QString &bill : paid_)
            out << "paid " << bill << "\n";
        for (const QString &bill : gone_)
            out << "gone " << bill << "\n";
        for (const QString &line : problems_)
            out << line << "\n";
        out << "sales " << sales_ << "\nsummaries " << summaries_ << "\nlistings " << listings_
            << "\n";
    }

private:
    struct Mismatch {
        QString what;
    };
    [[noreturn]] static void fail(const QString &what) { throw Mismatch{what}; }

    void readMethods() {
        for (const PaymentMethod &method : shop::paymentMethods(session_.connection())) {
            if (method.kind == MethodKind::Cash)
                cash_ = method.id;
            else if (method.kind == MethodKind::Card)
                card_ = method.id;
        }
    }

    const Title &randomTitle() { return titles_[random_.bounded(quint32(titles_.size()))]; }

    void pay(const Bill &bill) {
        bool paid = false;
        if (!attempt("payment", [&] { paid = shop::payBill(session_, bill.rowid, kDay); }))
            return;
        (paid ? paid_ : gone_) << bill.number;
    }

    // Runs the work; false when it failed, which is written down as a conflict (the
    // server's word that another till's work ran into it, after the session's retries) or
    // as an error.
    template <typename Work> bool attempt(const char *what, Work &&work) {
        try {
            work();
            return true;
        } catch (const ConflictError &error) {
            problems_ << QStringLiteral("conflict %1: %2").arg(what, oneLine(error.description()));
        } catch (const DataError &error) {
            problems_ << QStringLiteral("error %1: %2").arg(what, oneLine(error.description()));
        } catch (const Mismatch &mismatch) {
            problems_ << QStringLiteral("error %1: %2").arg(what, mismatch.what);
        }
        return false;
    }
    static QString oneLine(QString text) { return text.replace(QLatin1Char('\n'), ' '); }

    QString name_;
    ShopSession session_;
    QRandomGenerator random_;
    std::vector<Title> titles_;
    std::vector<Bill> bills_;
    std::size_t nextBill_ = 0;
    QMap<QString, Tally> sold_, delivered_;
    QStringList paid_, gone_, problems_, receipts_;
    qint64 cash_ = 0, card_ = 0;
    int sales_ = 0, summaries_ = 0, listings_ = 0;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 8 || (args[1] != "till" && args[1] != "office")) {
        std::fprintf(stderr, "usage: %s till|office NAME LOCATION START-MS SECONDS SEED LOG\n",
                     argv[0]);
        return 2;
    }
    const bool office = args[1] == "office";
    Computer till(args[2], args[3], args[6].toUInt());
    try {
        till.readShop(office);
    } catch (const DataError &error) {
        std::fprintf(stderr, "%s: cannot read the shop: %s\n", qPrintable(args[2]), error.what());
        return 1;
    }
    const qint64 start = args[4].toLongLong();
    const qint64 end = start + args[5].toLongLong() * 1000;
    while (QDateTime::currentMSecsSinceEpoch() < start)
        QThread::msleep(5);
    for (int round = 1; QDateTime::currentMSecsSinceEpoch() < end; ++round) {
        if (office) {
            till.deliver();
            till.payNext();
            if (round % 25 == 0)
                till.sell();
            if (round % 40 == 20)
                till.checkListing();
        } else {
            till.sellReceipt();
        }
        if (round % 40 == 0)
            till.checkSummary();
    }
    // What is left of the bills is paid before the office goes home.
    if (office)
        while (till.payNext()) {
        }
    till.writeLog(args[7]);
    return 0;
}
