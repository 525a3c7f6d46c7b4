// The shop's server stops, restarts or drops a till's connection in the middle of its work
// or between two pieces of it: the operator is told clearly, naming the server, nothing is
// half-written, the screen keeps what was typed, and the same work goes through once the
// server is back, in the same window. And a till left alone holds nothing open on the server.
// The test stops and starts a PostgreSQL cluster of its own, so that the other tests' server
// is never touched.
#include "allscreens.h"
#include "dataerror.h"
#include "faultserver.h"
#include "opendatabase.h"
#include "pgsession.h"
#include "recordsource.h"
#include "screenregistry.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <thread>

// Texts in the failures of this test, as text.
void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace faultserver;

// -- the work, on the real screens ----------------------------------------------------------

void type(QWidget *screen, const char *name, const QString &text) {
    auto *box = screen->findChild<QLineEdit *>(QString::fromLatin1(name));
    if (box == nullptr) // a list the operator types into
        if (auto *list = screen->findChild<QComboBox *>(QString::fromLatin1(name)))
            box = list->lineEdit();
    ASSERT_NE(box, nullptr) << name;
    box->setFocus();
    box->selectAll();
    QApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

QString boxText(QWidget *screen, const char *name) {
    if (auto *box = screen->findChild<QLineEdit *>(QString::fromLatin1(name)))
        return box->text();
    if (auto *list = screen->findChild<QComboBox *>(QString::fromLatin1(name)))
        return list->currentText();
    if (auto *label = screen->findChild<QLabel *>(QString::fromLatin1(name)))
        return label->text();
    return QStringLiteral("<no %1>").arg(QLatin1String(name));
}

void click(QWidget *screen, const char *name) {
    auto *button = screen->findChild<QPushButton *>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

// A till at work: a screen (or, for the grid edit, the record set under a grid) on the shop.
struct Till {
    explicit Till(const QString &location) {
        registerAllScreens(registry);
        context.shop = drivers::open(location);
        context.messages = &messages;
        context.clock = &clock;
        context.opener = &opener;
        opener.setContext(&context);
    }
    QStringList told() const {
        QStringList texts;
        for (const RecordingMessageBoxes::Shown &shown : messages.shown)
            if (!shown.confirmation)
                texts << shown.text;
        return texts;
    }
    ScreenRegistry registry;
    FixedClock clock{QDate(2001, 5, 3), QTime(10, 30, 0)};
    RecordingMessageBoxes messages;
    RecordingOpener opener;
    ShopContext context;
    std::unique_ptr<QWidget> screen;
    std::unique_ptr<RecordSource> grid;
};

struct Work {
    const char *what;
    const char *screenId; // none for the grid edit
    // Run by the shop's owner in an open transaction, it holds the work halfway.
    const char *hold;
    std::function<void(Till &)> fill; // what the operator types before the fault
    std::function<void(Till &)> act;  // the button that stores it
    std::function<QStringList(Till &)> inputs;
    QStringList typed; // what `inputs` shows while the work is not stored
    // A value of the stored rows before and after the work.
    const char *check, *before, *after;
};

RecordSource *billList(Till &till) {
    for (RecordSource *source : till.screen->findChildren<RecordSource *>())
        if (source->tableName().compare("Bill", Qt::CaseInsensitive) == 0)
            return source;
    return nullptr;
}

const std::vector<Work> &works() {
    static const std::vector<Work> list{
        {"a sale",
         "frmSell",
         "LOCK TABLE soldbook IN SHARE MODE",
         [](Till &t) {
             type(t.screen.get(), "Text1", "9789570000001");
             type(t.screen.get(), "Text2", "2");
             click(t.screen.get(), "Command1");
         },
         [](Till &t) { click(t.screen.get(), "Command2"); },
         [](Till &t) {
             return QStringList{boxText(t.screen.get(), "Text1"), boxText(t.screen.get(), "Text2"),
                                boxText(t.screen.get(), "Label3_0"),
                                boxText(t.screen.get(), "Label3_3"),
                                boxText(t.screen.get(), "Label3_4")};
         },
         {"9789570000001", "2", "9789570000001", "2", "700"},
         "SELECT qty, (SELECT count(*) FROM soldbook) FROM titles WHERE bookno = 1",
         "100|0",
         "98|1"},
        {"a bill payment",
         "frmCheckPay",
         "LOCK TABLE paidbill IN SHARE MODE",
         [](Till &) {}, // the screen opens on every open bill, the first one current
         [](Till &t) { click(t.screen.get(), "Command2"); },
         [](Till &t) {
             RecordSource *bills = billList(t);
             if (bills == nullptr || bills->currentRow() < 0)
                 return QStringList{"<no current bill>"};
             return QStringList{bills->text("Invoice No"), QString::number(bills->loadedCount())};
         },
         {"B-1", "3"},
         "SELECT (SELECT string_agg(\"invoice no\", ',' ORDER BY rowid) FROM bill), "
         "(SELECT coalesce(string_agg(\"invoice no\" || ' ' || \"paid date\", ','), '-') "
         "FROM paidbill)",
         "B-1,B-2,B-3|-",
         "B-2,B-3|B-1 2001-05-03"},
        {"an invoice",
         "frmInvoice",
         "LOCK TABLE bill IN SHARE MODE",
         [](Till &t) {
             type(t.screen.get(), "txtFields_0", "INV-7");
             type(t.screen.get(), "txtFields_2", "120");
             type(t.screen.get(), "DataCombo1", "Ace Books");
         },
         [](Till &t) { click(t.screen.get(), "Command4"); },
         [](Till &t) {
             return QStringList{boxText(t.screen.get(), "txtFields_0"),
                                boxText(t.screen.get(), "txtFields_2"),
                                boxText(t.screen.get(), "DataCombo1")};
         },
         {"INV-7", "120", "Ace Books"},
         "SELECT count(*), coalesce(sum(fee)::text, '-') FROM bill WHERE \"invoice no\" = 'INV-7'",
         "0|-",
         "1|120.0000"},
        {"a delivery",
         "frmNewQty",
         "SELECT FROM titles WHERE bookno = 1 FOR UPDATE",
         [](Till &t) {
             type(t.screen.get(), "txtFields_1", "9789570000001");
             type(t.screen.get(), "txtFields_2", "12");
         },
         [](Till &t) { click(t.screen.get(), "Command1"); },
         [](Till &t) {
             return QStringList{boxText(t.screen.get(), "txtFields_1"),
                                boxText(t.screen.get(), "txtFields_2")};
         },
         {"9789570000001", "12"},
         "SELECT qty FROM titles WHERE bookno = 1",
         "100",
         "112"},
        {"a grid edit",
         nullptr,
         "SELECT FROM titles WHERE bookno = 1 FOR UPDATE",
         [](Till &t) {
             t.grid = std::make_unique<RecordSource>("grid", t.context.shop);
             t.grid->open("select * from Titles order by BOOKNO");
             t.grid->setValue("Title", "Dream of the Red Chamber");
         },
         [](Till &t) {
             try {
                 t.grid->save();
             } catch (const DataError &error) {
                 t.messages.inform(error.description(), MessageBoxes::Icon::Critical, "grid");
             }
         },
         [](Till &t) {
             return QStringList{t.grid->hasPending() ? "pending" : "saved", t.grid->text("Title")};
         },
         {"pending", "Dream of the Red Chamber"},
         "SELECT title FROM titles WHERE bookno = 1",
         "紅樓夢",
         "Dream of the Red Chamber"},
    };
    return list;
}

// -- the faults -----------------------------------------------------------------------------

enum class Fault {
    TerminatedMidway, // the till's backend is ended while the work waits halfway
    StoppedMidway,    // the server stops while the work waits halfway; it is started again
    TerminatedIdle,   // the till's backend is ended while the operator types
    RestartedIdle,    // the server restarts while the operator types
    Down,             // the server is down when the operator presses the button
};

struct FaultCase {
    const char *what;
    Fault fault;
    bool told; // the operator is told, and the work goes through when done again
};

const FaultCase faults[] = {
    {"backend terminated midway", Fault::TerminatedMidway, true},
    {"server stopped midway", Fault::StoppedMidway, true},
    {"backend terminated between", Fault::TerminatedIdle, false},
    {"server restarted between", Fault::RestartedIdle, false},
    {"server down", Fault::Down, true},
};

// Waits on another thread until the till's work waits for the held lock, then brings on the
// fault; gives the lock up after 20 s without a till waiting, so that the test never hangs.
class Saboteur {
public:
    Saboteur(const QString &database, Fault fault, int holderPid)
        : thread_([this, database, fault, holderPid] { run(database, fault, holderPid); }) {}
    ~Saboteur() {
        if (thread_.joinable())
            thread_.join();
    }
    // Empty when the fault came while the till waited.
    QString failure() {
        if (thread_.joinable())
            thread_.join();
        return failure_;
    }

private:
    void run(const QString &database, Fault fault, int holderPid) {
        try {
            for (QDeadlineTimer wait(20000); !wait.hasExpired(); QThread::msleep(10)) {
                const QStringList waiting =
                    ownerRows(database,
                              "SELECT pid FROM pg_stat_activity WHERE usename = $1 AND "
                              "datname = $2 AND wait_event_type = 'Lock'",
                              {kTill, database});
                if (waiting.isEmpty())
                    continue;
                if (fault == Fault::TerminatedMidway)
                    ownerRows(database, "SELECT pg_terminate_backend($1::int)", waiting);
                else
                    stopImmediately();
                return;
            }
            failure_ = QStringLiteral("the work never waited for the held rows");
        } catch (const DataError &error) {
            failure_ = error.description();
        }
        try {
            ownerRows(database, "SELECT pg_terminate_backend($1::int)",
                      {QString::number(holderPid)});
        } catch (const DataError &error) {
            failure_ += QStringLiteral("; the held rows stay held: ") + error.description();
        }
    }
    QString failure_;
    std::thread thread_;
};

void expectNothingHeld(const QString &database) {
    for (const QString &state : tillStates(database))
        EXPECT_EQ(state, "idle") << "a till's connection to the shop";
}

TEST(ServerFaults, TheTillIsToldNothingIsHalfWrittenAndTheSameWorkGoesThroughLater) {
    int tried = 0;
    for (const Work &work : works()) {
        for (const FaultCase &fault : faults) {
            SCOPED_TRACE(std::string(work.what) + ", " + fault.what);
            ServerShop shop;
            Till till(shop.location());
            if (work.screenId != nullptr) {
                till.screen.reset(till.registry.create(work.screenId, till.context));
                ASSERT_NE(till.screen, nullptr);
                till.screen->show();
            }
            work.fill(till);
            ASSERT_EQ(till.told(), QStringList());
            ASSERT_EQ(work.inputs(till), work.typed);
            expectNothingHeld(shop.database());
            const QStringList before = shop.snapshot();
            ASSERT_EQ(shop.value(work.check), work.before);

            switch (fault.fault) {
            case Fault::TerminatedMidway:
            case Fault::StoppedMidway: {
                pgtool::Session holder(settingsOf(shop.database()));
                holder.exec("BEGIN");
                holder.exec(work.hold);
                Saboteur saboteur(shop.database(), fault.fault,
                                  holder.scalar("SELECT pg_backend_pid()").toInt());
                work.act(till);
                EXPECT_EQ(saboteur.failure(), QString());
                if (fault.fault == Fault::StoppedMidway)
                    control("start");
                break;
            }
            case Fault::TerminatedIdle:
                terminateTills(shop.database());
                work.act(till);
                break;
            case Fault::RestartedIdle:
                control("restart");
                work.act(till);
                break;
            case Fault::Down:
                control("stop", {"immediate"});
                work.act(till);
                control("start");
                break;
            }
            ++tried;

            if (fault.told) {
                // Told once, naming the server; nothing of the work stored; the inputs kept.
                ASSERT_EQ(till.told().size(), 1) << till.told().join('\n').toStdString();
                const QString told = till.told().first();
                EXPECT_TRUE(told.contains(till.context.shop.describe()) && told.contains("server"))
                    << told.toStdString();
                EXPECT_EQ(shop.snapshot(), before);
                EXPECT_EQ(work.inputs(till), work.typed);
                expectNothingHeld(shop.database());
                // The same work, in the same window, once the server is back.
                till.messages.shown.clear();
                work.act(till);
            }
            EXPECT_EQ(till.told(), QStringList());
            EXPECT_EQ(shop.value(work.check), work.after);
            expectNothingHeld(shop.database());
        }
    }
    std::printf("[ faults   ] %d fault cases tried: %d kinds of work x %d faults\n", tried,
                int(works().size()), int(std::size(faults)));
}

// A large result left unread holds its statement open on the server only until the record
// set, left alone, has read it to its end: a till left overnight holds nothing.
TEST(ServerFaults, ALargeResultLeftAloneIsReadToItsEndAndLeavesTheTillIdle) {
    ServerShop shop;
    pgtool::Session(settingsOf(shop.database()))
        .exec("INSERT INTO soldbook (solddate, soldtime, isbn, title, price, qty) "
              "SELECT date '2001-01-01' + n % 365, '10:00:00', '9789570000001', "
              "'A title long enough to fill the socket ' || n, 350, 1 "
              "FROM generate_series(1, 20000) AS n");
    RecordSource sales("sales", drivers::open(shop.location()));
    sales.open("select * from soldbook");
    EXPECT_TRUE(sales.canFetchMore());
    EXPECT_LT(sales.loadedCount(), 20000);
    EXPECT_EQ(tillStates(shop.database()), QStringList{"active"}) << "the rest still coming";
    for (QDeadlineTimer wait(15000); sales.canFetchMore() && !wait.hasExpired();) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    EXPECT_FALSE(sales.canFetchMore());
    EXPECT_EQ(sales.loadedCount(), 20000);
    EXPECT_EQ(tillStates(shop.database()), QStringList{"idle"});
}

} // namespace
