// One till (or back-office computer) of the several-tills test: its own program and its own
// connection to the shop on the server, doing the shop's work through the shop's operations
// until its time is up, and writing down what it did.
//
//   quillmart_tillprocess till|office NAME LOCATION START-MS SECONDS SEED LOG
//
// A till opens its session with a float and sells one receipt of three copies that every till
// then refunds a copy of now and then (so that tills refund the last copy at the same moment);
// it sells random quantities of random titles on receipts of one to three lines, each
// line stored as it is booked, and takes payment for each (part by card, the rest in cash
// with change), as the counter does, now and then voiding a line before payment and paying
// cash in or out; at the end it closes its session. A back-office computer adds deliveries
// and pays the open bills in their order (so that every office tries every bill), and now and
// then sells too. Both build the top-sellers summary now and then, and the back office the
// bill listing, and check that they see only their own. The log has one line per
// fact: "sold ISBN SALES COPIES" (refunds and voids as sales of negative copies), "delivered
// ISBN DELIVERIES COPIES", "receipt READABLE DUE PAID PAYMENTS" (amounts in units of Money),
// "refund READABLE" (a copy of a shared receipt refunded), "closed SESSION", "paid INVOICE",
// "gone INVOICE" (a bill another process had paid first), "conflict TEXT" (work the server
// refused because of another till's, reported after the session's retries), "error TEXT"
// (anything else), and counts: "sales N", "summaries N", "listings N".
#include "dataerror.h"
#include "opendatabase.h"
#include "receipts.h"
#include "refunds.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "tillsessions.h"
#include "voids.h"

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

    // The till's session, opened with a float of 100, and its receipt of three copies that
    // every till refunds from.
    void openSession() {
        readMethods();
        attempt("session", [&] {
            session_id_ = shop::openSession(session_, {Money::fromUnits(100 * Money::unitsPerOne),
                                                       QDateTime(kDay, QTime::currentTime())})
                              .id;
        });
        const Title &title = randomTitle();
        const Money due = Money::fromDouble(title.price)->times(3);
        const QDateTime at(kDay, QTime::currentTime());
        ReceiptRecord receipt{QUuid::createUuid().toString(QUuid::WithoutBraces),
                              at,
                              {{1, title.bookNo, title.isbn, title.title,
                                *Money::fromDouble(title.price), 3, kDay, at.time()}},
                              {{1, cash_, due, due, Money(), at}},
                              {},
                              at};
        StoredReceipt stored;
        if (!attempt("shared receipt", [&] { stored = shop::storeReceipt(session_, receipt); }))
            return;
        sold_[title.isbn].times++;
        sold_[title.isbn].copies += 3;
        ++sales_;
        receipts_ << QStringLiteral("receipt %1 %2 %2 1").arg(stored.readable).arg(due.units());
    }
    // The receipts every till refunds from: those stored before the start.
    void readShared() {
        attempt("shared receipts", [&] {
            Statement select = session_.connection().prepare("SELECT Receipt FROM receipts");
            while (select.step())
                shared_ << select.value(0).toString();
        });
    }
    // A copy of a shared receipt's line back in cash, unless every copy is back already.
    void refundShared() {
        if (shared_.isEmpty())
            return;
        const QString receipt = shared_[random_.bounded(quint32(shared_.size()))];
        try {
            shop::storeRefund(session_, {QUuid::createUuid().toString(QUuid::WithoutBraces),
                                         receipt,
                                         QStringLiteral("Faulty"),
                                         cash_,
                                         QDateTime(kDay, QTime::currentTime()),
                                         {{1, 1, 0, {}, {}, {}, 1, false}}});
        } catch (const DataError &error) {
            if (!error.sentence().contains(QLatin1String("only 0 of line 1")))
                problems_ << QStringLiteral("error refund: %1").arg(oneLine(error.description()));
            return;
        }
        attempt("refund read", [&] {
            const RefundableReceipt refunded = shop::receiptToRefund(
                session_.connection(),
                session_.connection()
                    .scalar("SELECT Readable FROM receipts WHERE Receipt = ?1", {receipt})
                    .toString());
            sold_[refunded.lines.front().isbn].times++;
            sold_[refunded.lines.front().isbn].copies -= 1;
            ++sales_;
            refunds_ << QStringLiteral("refund ") + refunded.readable;
        });
    }
    // A receipt of two lines whose second is voided before it is paid in cash.
    void voidAndPay() {
        const Title &first = randomTitle(), &second = randomTitle();
        const QDateTime at(kDay, QTime::currentTime());
        ReceiptRecord receipt{QUuid::createUuid().toString(QUuid::WithoutBraces),
                              at,
                              {{1, first.bookNo, first.isbn, first.title,
                                *Money::fromDouble(first.price), 1, kDay, at.time()},
                               {2, second.bookNo, second.isbn, second.title,
                                *Money::fromDouble(second.price), 2, kDay, at.time()}},
                              {},
                              {},
                              {}};
        StoredReceipt stored;
        if (!attempt("voided receipt", [&] { stored = shop::storeReceipt(session_, receipt); }))
            return;
        sold_[first.isbn].times++;
        sold_[first.isbn].copies += 1;
        sold_[second.isbn].times++;
        sold_[second.isbn].copies += 2;
        sales_ += 2;
        if (!attempt("void", [&] {
                shop::storeVoid(session_, {QUuid::createUuid().toString(QUuid::WithoutBraces),
                                           receipt.id, 2, QStringLiteral("Rung up twice"), at});
            }))
            return;
        sold_[second.isbn].times++;
        sold_[second.isbn].copies -= 2;
        ++sales_;
        const Money due = *Money::fromDouble(first.price);
        receipt.payments.push_back({1, cash_, due, due, Money(), at});
        receipt.paidAt = at;
        if (attempt("voided receipt's payment",
                    [&] { stored = shop::storeReceipt(session_, receipt); }))
            receipts_ << QStringLiteral("receipt %1 %2 %3 1")
                             .arg(stored.readable)
                             .arg(due.units())
                             .arg(stored.paid ? due.units() : -1);
    }
    void moveCash(bool in) {
        attempt("cash", [&] {
            shop::moveCash(session_, {QUuid::createUuid().toString(QUuid::WithoutBraces),
                                      session_id_, in, Money::fromUnits(5 * Money::unitsPerOne),
                                      in ? QStringLiteral("Change") : QStringLiteral("Stamps"),
                                      QDateTime(kDay, QTime::currentTime())});
        });
    }
    // The session closed with a count of 0 in each method.
    void closeSession() {
        if (attempt("close", [&] {
                shop::closeSession(session_,
                                   {session_id_, {}, QDateTime(kDay, QTime::currentTime())});
            }))
            refunds_ << QStringLiteral("closed %1").arg(session_id_);
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
                if (rows.value(1).toString().toLongLong() <
                    sold_.value(isbn).copies - refundedCopies(isbn))
                    fail(QStringLiteral("the summary counts %1 copies of %2; this till alone "
                                        "sold %3")
                             .arg(rows.value(1).toString(), isbn)
                             .arg(sold_.value(isbn).copies));
            }
            for (auto it = sold_.cbegin(); it != sold_.cend(); ++it)
                if (!seen.contains(it.key()) && it->copies > refundedCopies(it.key()))
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
        for (const QString &receipt : receipts_ + refunds_)
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

    // The copies of the title refunded so far by every till: a summary built before counts
    // no fewer of its sales.
    qint64 refundedCopies(const QString &isbn) {
        return session_.connection()
            .scalar("SELECT coalesce(sum(Qty), 0) FROM refundlines WHERE ISBN = ?1", {isbn})
            .toLongLong();
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
    QStringList paid_, gone_, problems_, receipts_, refunds_, shared_;
    qint64 cash_ = 0, card_ = 0, session_id_ = 0;
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
    if (!office)
        till.openSession();
    const qint64 start = args[4].toLongLong();
    const qint64 end = start + args[5].toLongLong() * 1000;
    while (QDateTime::currentMSecsSinceEpoch() < start)
        QThread::msleep(5);
    if (!office)
        till.readShared();
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
            if (round % 3 == 0)
                till.refundShared();
            if (round % 7 == 0)
                till.voidAndPay();
            if (round % 11 == 0)
                till.moveCash(round % 22 == 0);
        }
        if (round % 40 == 0)
            till.checkSummary();
    }
    // What is left of the bills is paid before the office goes home.
    if (office)
        while (till.payNext()) {
        }
    else
        till.closeSession();
    till.writeLog(args[7]);
    return 0;
}
