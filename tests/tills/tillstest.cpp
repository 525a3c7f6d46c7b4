// Several tills at once on one shop on the server: four tills sell the same twenty titles on
// receipts and take payment for them while two back-office computers add deliveries and pay
// the same open bills, each its own program with its own connection. Afterwards every copy
// sold or delivered is in the stock, every sale row has its stock change, every bill was paid
// exactly once, every receipt was paid in full once, and each till's receipt numbers run
// 1, 2, 3... without gaps or doubles.
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
    Logs total;
    for (Process &p : processes) {
        ASSERT_TRUE(p.program->waitForFinished((kSeconds + 60) * 1000)) << p.name.toStdString();
        EXPECT_EQ(p.program->exitStatus(), QProcess::NormalExit) << p.name.toStdString();
        EXPECT_EQ(p.program->exitCode(), 0) << p.name.toStdString();
        total.read(p.log, p.name);
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
                   "* 10000)::bigint FROM receiptlines l WHERE l.receipt = r.receipt) || ' ' || "
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

    // Each login's summary and listing stayed its own; what is left of them is its own too.
    EXPECT_GT(total.summaries, 0);
    EXPECT_GT(total.listings, 0);
    EXPECT_EQ(owner.rows("SELECT count(*) FROM (SELECT till, a FROM tmp GROUP BY till, a "
                         "HAVING count(*) > 1) AS twice"),
              QStringList{"0"});
    EXPECT_EQ(owner.rows("SELECT count(DISTINCT till) FROM tmp"),
              QStringList{QString::number(processes.size())});

    std::printf("[ tills    ] %d receipts paid in full; "
                "%lld sales (%lld copies) at 4 tills in %d s; %lld deliveries "
                "(%lld copies); %d payments of the %d bills, %d more tries found them paid; "
                "%lld summaries and %lld bill listings, each its login's own\n",
                int(logged.size()), total.sales, copiesSold, kSeconds, deliveries, copiesDelivered,
                int(total.paid.size()), kBills, int(total.gone.size()), total.summaries,
                total.listings);
}

} // namespace
