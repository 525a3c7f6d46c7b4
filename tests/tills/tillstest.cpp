// Several tills at once on one shop on the server: four tills, each in its session, sell the
// same twenty titles on receipts, take payment for them, void lines, move cash and refund
// copies of the same receipts, then close their sessions, while two back-office computers add
// deliveries and pay the same open bills, each its own program with its own connection.
// Afterwards every copy sold, refunded or delivered is in the stock, every sale row has its
// stock change, every bill was paid exactly once, every receipt was paid in full once, each
// till's receipt numbers run 1, 2, 3... without gaps or doubles, no copy was refunded twice,
// each till's Z report adds up its own work, and the day's takings are the sessions' less the
// refunds with the back office's own sales.
#include "pgsession.h"
#include "serverdatabase.h"
#include "serverroles.h"
#include "shoplocation.h"
#include "shopserver.h"

#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <ostream>
#include <vector>

namespace {

using SeveralTills = ServerTest;

constexpr int kTitles = 20;
constexpr int kStartingStock = 1000;
constexpr int kBills = 60;
constexpr int kSeconds = 12;

struct Tally {
    qint64 times = 0, copies = 0;
};

// What the processes wrote down, added up.
struct Logs {
    QMap<QString, Tally> sold, delivered;
    QStringList paid, gone, conflicts, errors;
    QStringList receipts; // "READABLE DUE PAID PAYMENTS", as the till wrote them
    QStringList refunds;  // the receipt of each copy refunded
    int closed = 0;       // sessions closed
    qint64 sales = 0, summaries = 0, listings = 0;

    void read(const QString &path, const QString &process) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            errors << process + ": wrote no log";
            return;
        }
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const QStringList words = line.split(' ');
            const QString &kind = words.value(0);
            if (kind == "sold" || kind == "delivered") {
                Tally &tally = (kind == "sold" ? sold : delivered)[words.value(1)];
                tally.times += words.value(2).toLongLong();
                tally.copies += words.value(3).toLongLong();
            } else if (kind == "receipt") {
                receipts << line.mid(8);
            } else if (kind == "refund") {
                refunds << words.value(1);
            } else if (kind == "closed") {
                ++closed;
            } else if (kind == "paid") {
                paid << words.value(1);
            } else if (kind == "gone") {
                gone << words.value(1);
            } else if (kind == "conflict") {
                conflicts << process + ": " + line;
            } else if (kind == "error") {
                errors << process + ": " + line;
            } else if (kind == "sales") {
                sales += words.value(1).toLongLong();
            } else if (kind == "summaries") {
                summaries += words.value(1).toLongLong();
            } else if (kind == "listings") {
                listings += words.value(1).toLongLong();
            }
        }
    }
};

QString isbnOf(int title) {
    return QString("97800000%1").arg(title, 5, 10, QChar('0'));
}

TEST_F(SeveralTills, SellDeliverAndPayAtOnce) {
    {
        pgtool::Session owner(conninfo());
        owner.exec("BEGIN");
        shopserver::createSchema(owner, "en-US");
        owner.exec("COMMIT");
    }
    Link owner(conninfo());
    ASSERT_TRUE(owner.ok());
    for (int title = 1; title <= kTitles; ++title)
        ASSERT_EQ(owner.run("INSERT INTO titles (isbn, title, \"sale price\", qty) "
                            "VALUES ($1, $2, 12.5, $3)",
                            {isbnOf(title), QString("Title %1").arg(title),
                             QString::number(kStartingStock)}),
                  "");
    ASSERT_EQ(owner.run("INSERT INTO retail (retname) VALUES ('Ace Books')"), "");
    ASSERT_EQ(owner.run("INSERT INTO paymentmethods (name, kind) VALUES ('Cash', 'cash'), "
                        "('Card', 'card') ON CONFLICT (name) DO NOTHING"),
              "");
    // The counter takes payment: each till sells in a session of its own.
    ASSERT_EQ(owner.run("INSERT INTO shopsettings (setting, value) VALUES ('Payments', 'on')"),
              "");
    ASSERT_EQ(owner.run("INSERT INTO refundreasons (name) VALUES ('Faulty')"), "");
    ASSERT_EQ(owner.run("INSERT INTO bill (\"invoice no\", \"invoice date\", fee, "
                        "\"invoice time\", retail) SELECT 'B-' || lpad(n::text, 3, '0'), "
                        "'2001-05-01', n * 10, '09:00:00', 'Ace Books' "
                        "FROM generate_series(1, $1) AS n",
                        {QString::number(kBills)}),
              "");

    // Every process logs in with a login of its own: a member of the tills' role, or of the
    // back office's, as a shop's computers do.
    struct Process {
        QString kind, name, log;
        std::unique_ptr<QProcess> program;
    };
    QTemporaryDir logs;
    std::vector<Process> processes;
    for (int i = 1; i <= 4; ++i)
        processes.push_back({"till", QString("till-%1").arg(i), {}, nullptr});
    for (int i = 1; i <= 2; ++i)
        processes.push_back({"office", QString("office-%1").arg(i), {}, nullptr});
    // Everyone starts at the same moment, once every program has connected.
    const qint64 start = QDateTime::currentMSecsSinceEpoch() + 3000;
    for (std::size_t i = 0; i < processes.size(); ++i) {
        Process &p = processes[i];
        p.log = logs.filePath(p.name + ".log");
        const QString login =
            makeTill(p.name, p.kind == "office" ? serverroles::kOffice : serverroles::kTill);
        const QString location = shoplocation::ofServer(conninfo(login));
        if (p.kind == "till") { // each till its own prefix: A, B, C, D
            ASSERT_EQ(owner.run("INSERT INTO tills (name, prefix, login) VALUES ($1, $2, $3)",
                                {p.name, QString(QChar('A' + int(i))), login}),
                      "");
        }
        p.program = std::make_unique<QProcess>();
        p.program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.program->start(QM_TILLPROCESS_PATH,
                         {p.kind, p.name, location, QString::number(start),
                          QString::number(kSeconds), QString::number(1000 + i), p.log});
    }
    Logs total, office;
    for (Process &p : processes) {
        ASSERT_TRUE(p.program->waitForFinished((kSeconds + 60) * 1000)) << p.name.toStdString();
        EXPECT_EQ(p.program->exitStatus(), QProcess::NormalExit) << p.name.toStdString();
        EXPECT_EQ(p.program->exitCode(), 0) << p.name.toStdString();
        total.read(p.log, p.name);
        if (p.kind == "office")
            office.read(p.log, p.name);
    }

    // No process saw an error it could not explain; a conflict the session could not get
    // past by running the work again would be reported clearly, but there should be none.
    EXPECT_EQ(total.errors, QStringList());
    EXPECT_EQ(total.conflicts, QStringList());

    // For every title: stored stock = starting stock - copies sold + copies delivered, and
    // the sale rows are those the tills stored.
    qint64 copiesSold = 0, deliveries = 0, copiesDelivered = 0;
    const QStringList stored = owner.rows(
        "SELECT t.isbn, t.qty, count(s.rowid), coalesce(sum(s.qty), 0) FROM titles t "
        "LEFT JOIN soldbook s ON s.isbn = t.isbn GROUP BY t.isbn, t.qty ORDER BY t.isbn");
    ASSERT_EQ(stored.size(), kTitles);
    for (const QString &row : stored) {
        const QStringList v = row.split('|');
        const Tally sold = total.sold.value(v[0]), delivered = total.delivered.value(v[0]);
        EXPECT_EQ(v[1].toLongLong(), kStartingStock - sold.copies + delivered.copies)
            << row.toStdString();
        EXPECT_EQ(v[2].toLongLong(), sold.times) << row.toStdString();
        EXPECT_EQ(v[3].toLongLong(), sold.copies) << row.toStdString();
        copiesSold += sold.copies;
        deliveries += delivered.times;
        copiesDelivered += delivered.copies;
    }
    EXPECT_EQ(owner.rows("SELECT count(*) FROM soldbook"),
              QStringList{QString::number(total.sales)});

    // Every bill was paid exactly once: paid by one process, found gone by the others.
    QStringList paid = total.paid;
    paid.sort();
    EXPECT_EQ(paid.size(), kBills);
    EXPECT_EQ(paid.removeDuplicates(), 0);
    EXPECT_EQ(
        owner.rows("SELECT count(*), count(DISTINCT \"invoice no\"), sum(fee) FROM paidbill"),
        QStringList{QString("%1|%1|%2.0000").arg(kBills).arg(10 * kBills * (kBills + 1) / 2)});
    EXPECT_EQ(owner.rows("SELECT \"invoice no\" FROM paidbill ORDER BY 1"), paid);
    EXPECT_EQ(owner.rows("SELECT count(*) FROM bill"), QStringList{"0"});
    // Both offices went through every bill: each bill was tried at least twice.
    EXPECT_GE(total.paid.size() + total.gone.size(), 2 * kBills);

    // Every receipt a till made was paid in full once: the payments stored add up to its
    // lines, it is marked paid, and it is the receipt the till was told it had.
    QStringList logged = total.receipts;
    logged.sort();
    EXPECT_GT(logged.size(), 0);
    for (const QString &receipt : logged) {
        const QStringList v = receipt.split(' ');
        EXPECT_EQ(v.value(1), v.value(2)) << "paid in full: " << receipt.toStdString();
    }
    EXPECT_EQ(
        owner.rows("SELECT line FROM (SELECT r.readable || ' ' || (SELECT (sum(l.price * l.qty) "
                   "* 10000)::bigint FROM receiptlines l WHERE l.receipt = r.receipt AND NOT "
                   "EXISTS (SELECT FROM voidlines w WHERE w.receipt = l.receipt AND w.line = "
                   "l.line)) || ' ' || "
                   "(SELECT (sum(p.amount) * 10000)::bigint FROM payments p WHERE p.receipt = "
                   "r.receipt AND r.paid IS NOT NULL) || ' ' || (SELECT count(*) FROM payments p "
                   "WHERE p.receipt = r.receipt) AS line FROM receipts r) AS stored "
                   "ORDER BY line COLLATE \"C\""),
        logged);
    // Each till's numbers: 1 to the number of its receipts, none twice.
    const QStringList numbering = owner.rows(
        "SELECT t.prefix, count(r.number), count(DISTINCT r.number), min(r.number), "
        "max(r.number) FROM tills t JOIN receipts r ON r.till = t.till GROUP BY t.prefix "
        "ORDER BY t.prefix");
    EXPECT_EQ(numbering.size(), 4);
    for (const QString &till : numbering) {
        const QStringList v = till.split('|');
        EXPECT_EQ(v[2], v[1]) << "doubles: " << till.toStdString();
        EXPECT_EQ(v[3], "1") << till.toStdString();
        EXPECT_EQ(v[4], v[1]) << "gaps: " << till.toStdString();
    }

    // The tills refunded the shared receipts' copies at the same moments: each copy once, and
    // every copy of them in the end.
    EXPECT_GT(total.refunds.size(), 0);
    EXPECT_EQ(owner.rows("SELECT count(*), coalesce(sum(qty), 0) FROM refundlines"),
              QStringList{QString("%1|%1").arg(total.refunds.size())});
    EXPECT_EQ(owner.rows("SELECT count(*) FROM linesback b WHERE b.back <> (SELECT "
                         "coalesce(sum(l.qty), 0) FROM refundlines l JOIN refunds f ON f.refund "
                         "= l.refund WHERE f.receipt = b.receipt AND l.receiptline = b.line) + "
                         "(SELECT coalesce(sum(w.qty), 0) FROM voidlines w WHERE w.receipt = "
                         "b.receipt AND w.line = b.line)"),
              QStringList{"0"});
    // Each till's Z report, stored at its close, is its own receipts, voids, refunds, rounding
    // and cash moved; its cash the float and the cash kept less cash refunds, with cash in
    // less cash out.
    EXPECT_EQ(total.closed, 4);
    EXPECT_EQ(owner.rows(
                  "SELECT count(*) FROM zreports z JOIN tillsessions s ON s.session = z.session "
                  "WHERE z.sales = (SELECT coalesce(sum(l.price * l.qty), 0) FROM receiptsessions "
                  "r JOIN receiptlines l ON l.receipt = r.receipt WHERE r.session = s.session) AND "
                  "z.voided = (SELECT coalesce(sum(w.price * w.qty), 0) FROM voids v JOIN "
                  "voidlines w ON w.void = v.void WHERE v.session = s.session) AND z.refunded = "
                  "(SELECT coalesce(sum(f.amount), 0) FROM refunds f WHERE f.session = "
                  "s.session) AND z.rounding = 0 AND z.cashin - z.cashout = (SELECT "
                  "coalesce(sum(CASE c.direction WHEN 'in' THEN c.amount ELSE -c.amount END), 0) "
                  "FROM cashmovements c WHERE c.session = s.session) AND z.receipts = (SELECT "
                  "count(*) FROM receiptsessions r WHERE r.session = s.session) AND (SELECT "
                  "m.expected FROM zreportmethods m WHERE m.session = s.session AND m.kind = "
                  "'cash') = s.openingfloat + (SELECT coalesce(sum(y.amount), 0) FROM "
                  "receiptsessions r JOIN payments y ON y.receipt = r.receipt JOIN "
                  "paymentmethods p ON p.method = y.method AND p.kind = 'cash' WHERE r.session = "
                  "s.session) - (SELECT coalesce(sum(f.amount), 0) FROM refunds f WHERE "
                  "f.session = s.session) + z.cashin - z.cashout AND s.closed IS NOT NULL"),
              QStringList{"4"});
    // The day report's takings: the sessions' sales less voids and refunds, and the back
    // office's own sales (each title at 12.5).
    qint64 officeCopies = 0;
    for (const Tally &sold : office.sold)
        officeCopies += sold.copies;
    EXPECT_EQ(owner.rows("SELECT (SELECT sum(price * qty) FROM soldbook WHERE solddate = "
                         "'2001-05-03') = (SELECT sum(sales - voided - refunded) FROM zreports) "
                         "+ 12.5 * $1::numeric",
                         {QString::number(officeCopies)}),
              QStringList{"t"})
        << officeCopies;

    // Each login's summary and listing stayed its own; what is left of them is its own too.
    EXPECT_GT(total.summaries, 0);
    EXPECT_GT(total.listings, 0);
    EXPECT_EQ(owner.rows("SELECT count(*) FROM (SELECT till, a FROM tmp GROUP BY till, a "
                         "HAVING count(*) > 1) AS twice"),
              QStringList{"0"});
    EXPECT_EQ(owner.rows("SELECT count(DISTINCT till) FROM tmp"),
              QStringList{QString::number(processes.size())});

    std::printf("[ tills    ] %d copies of the shared receipts refunded, 4 sessions closed\n",
                int(total.refunds.size()));
    std::printf("[ tills    ] %d receipts paid in full; "
                "%lld sales (%lld copies) at 4 tills in %d s; %lld deliveries "
                "(%lld copies); %d payments of the %d bills, %d more tries found them paid; "
                "%lld summaries and %lld bill listings, each its login's own\n",
                int(logged.size()), total.sales, copiesSold, kSeconds, deliveries, copiesDelivered,
                int(total.paid.size()), kBills, int(total.gone.size()), total.summaries,
                total.listings);
}

} // namespace
