// A busy, read-only, missing or full shop database while the operator sells, pays, enters
// an invoice or edits a table: a clear message naming the problem, nothing stored lost or
// half-written, and the work goes through once the problem is gone.
#include "allscreens.h"
#include "connection.h"
#include "dataerror.h"
#include "opendatabase.h"
#include "recordsource.h"
#include "reliabilitysupport.h"
#include "testsupport.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

using namespace reliability;

namespace {

// Writes to a read-only file: chmod alone does not stop root, whose CAP_DAC_OVERRIDE
// ignores file modes. This thread (the one that runs the screens) gives that capability up
// for the guard's lifetime, so the file is as read-only to it as to any other user.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString &path) : path_(path) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &header_, lowered);
    }
    ~ReadOnlyFile() {
        syscall(SYS_capset, &header_, saved_);
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                         QFile::ReadOther);
    }
    // False where this process cannot give up the capability (a locked-down container).
    bool holds() const {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY);
        if (fd >= 0)
            ::close(fd);
        return fd < 0;
    }
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

private:
    QString path_;
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
};

// Another program holding the write lock until it lets go.
class Writer {
public:
    explicit Writer(const QString &path) : connection_(drivers::connect(path)) {
        connection_.exec("BEGIN IMMEDIATE; INSERT INTO Subject VALUES ('other', 'program')");
    }
    ~Writer() { connection_.exec("ROLLBACK"); }

private:
    Connection connection_;
};

void click(QWidget *screen, const char *button) {
    auto *b = screen->findChild<QPushButton *>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

void type(QWidget *screen, const char *box, const QString &text) {
    auto *edit = screen->findChild<QLineEdit *>(QString::fromLatin1(box));
    if (edit == nullptr) // a list the operator types into
        edit = screen->findChild<QComboBox *>(QString::fromLatin1(box))->lineEdit();
    ASSERT_NE(edit, nullptr) << box;
    typeInto(edit, text);
}

// One way of storing something, from the screen's boxes and buttons.
struct Work {
    const char *what;
    const char *screenId;
    std::function<void(QWidget *, int attempt)> attempt;
    const char *table; // gains rows when the work is stored
};

const std::vector<Work> &works() {
    static const std::vector<Work> list{
        {"a sale", "frmSell",
         [](QWidget *s, int) {
             type(s, "Text1", "9789570000001");
             type(s, "Text2", "1");
             click(s, "Command1");
             click(s, "Command2");
         },
         "soldbook"},
        {"a bill payment", "frmCheckPay",
         [](QWidget *s, int) {
             type(s, "DataCombo1", "Ace Books");
             click(s, "Command1");
             click(s, "Command2");
         },
         "paidbill"},
        {"an invoice", "frmInvoice",
         [](QWidget *s, int attempt) {
             type(s, "txtFields_0", QStringLiteral("INV-%1").arg(attempt));
             type(s, "txtFields_2", "120");
             type(s, "DataCombo1", "Ace Books");
             click(s, "Command4");
         },
         "Bill"},
        {"a new subject", "dataSubject",
         [](QWidget *s, int attempt) {
             click(s, "cmdAdd");
             type(s, "txtFields_0", QStringLiteral("S%1").arg(attempt));
             type(s, "txtFields_1", QString::fromUtf8("歷史 %1").arg(attempt));
             click(s, "cmdUpdate");
         },
         "Subject"},
    };
    return list;
}

// What the operator was told (confirmations asked on the way are not counted).
QStringList informed(const TestShop &shop) {
    QStringList texts;
    for (const RecordingMessageBoxes::Shown &s : shop.messages.shown)
        if (!s.confirmation)
            texts << s.text;
    return texts;
}

enum class FaultKind { Busy, ReadOnly, Missing, Full };

struct Fault {
    const char *what;
    FaultKind kind;
    QString message(const QString &path) const {
        switch (kind) {
        case FaultKind::Busy:
            return "The shop database is busy: another program is writing to it. Try again in "
                   "a moment.";
        case FaultKind::ReadOnly:
            return "The shop database is read-only: nothing can be stored in " + path;
        case FaultKind::Missing:
            return "The shop database file is missing: " + path;
        case FaultKind::Full:
            return "The disk is full: the shop database " + path + " cannot grow";
        }
        return QString();
    }
};

const Fault faults[] = {{"busy", FaultKind::Busy},
                        {"read-only", FaultKind::ReadOnly},
                        {"missing", FaultKind::Missing},
                        {"disk full", FaultKind::Full}};

class DatabaseFaults : public ::testing::Test {
protected:
    void SetUp() override { registerAllScreens(registry); }

    // The screens wait a tenth of a second for another program's write lock, not 15 s.
    static void shortenWaits(TestShop &shop) {
        shop.context.shop = shop.context.shop.withSettings({.busyTimeoutMs = 100});
    }

    static void seed(TestShop &shop) {
        shop.db.exec(
            QString::fromUtf8("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty, SafeQty) VALUES "
                              "('9789570000001', '紅樓夢', 350, 100000, 3);"
                              "INSERT INTO retail (RetName) VALUES ('Ace Books');"
                              "INSERT INTO Subject VALUES ('S0', '文學');"));
        Statement bill = shop.db.connection().prepare(
            "INSERT INTO Bill VALUES (?, '2001-05-03', 10, '09:00:00', 'Ace Books')");
        for (int i = 0; i < 400; ++i) {
            bill.bindAll({QStringLiteral("B-%1").arg(i)});
            bill.step();
            bill.reset();
        }
    }

    std::unique_ptr<QWidget> open(TestShop &shop, const Work &work) {
        std::unique_ptr<QWidget> screen(registry.create(work.screenId, shop.context));
        screen->show();
        return screen;
    }

    // Every connection the screen stores through may grow the file by no more pages.
    static void fillDisk(QWidget *screen) {
        for (RecordSource *source : screen->findChildren<RecordSource *>()) {
            Connection &c = source->connection();
            c.exec(QStringLiteral("PRAGMA max_page_count=%1")
                       .arg(c.scalar("PRAGMA page_count").toInt()));
        }
    }
    static void freeDisk(QWidget *screen) {
        for (RecordSource *source : screen->findChildren<RecordSource *>())
            source->connection().exec("PRAGMA max_page_count=1073741823");
    }

    ScreenRegistry registry;
};

} // namespace

TEST_F(DatabaseFaults, EachFaultIsNamedNothingStoredIsLostAndTheWorkGoesThroughAfterwards) {
    for (const Work &work : works()) {
        for (const Fault &fault : faults) {
            SCOPED_TRACE(std::string(work.what) + ", " + fault.what);
            TestShop shop;
            seed(shop);
            shortenWaits(shop);
            const QString path = shop.db.path();
            std::unique_ptr<ReadOnlyFile> readOnly;
            if (fault.kind == FaultKind::ReadOnly) { // SQLite decides when a file is opened
                readOnly = std::make_unique<ReadOnlyFile>(path);
                if (!readOnly->holds()) {
                    std::printf("[ skipped  ] %s: no file can be made read-only here\n", work.what);
                    continue;
                }
            }
            std::unique_ptr<QWidget> screen = open(shop, work);
            std::unique_ptr<Writer> writer;
            if (fault.kind == FaultKind::Busy)
                writer = std::make_unique<Writer>(path);
            if (fault.kind == FaultKind::Missing) {
                ASSERT_TRUE(QFile::rename(path, path + ".away"));
            }
            if (fault.kind == FaultKind::Full)
                fillDisk(screen.get());

            // A full disk shows once the file's last free room is used up.
            Snapshot before;
            int attempt = 0;
            do { // (the test's own connection still reads a file that was moved away)
                before = snapshot(shop.db.connection(), permanentTables());
                shop.messages.shown.clear();
                work.attempt(screen.get(), ++attempt);
            } while (fault.kind == FaultKind::Full && informed(shop).empty() && attempt < 300);

            ASSERT_EQ(informed(shop).size(), 1) << informed(shop).join("\n").toStdString();
            const QString shown = informed(shop).first();
            EXPECT_TRUE(shown.contains(fault.message(path))) << shown.toStdString();
            EXPECT_TRUE(escapedExceptions().isEmpty());

            // The fault goes away; what was stored before the failed attempt is all there.
            writer.reset();
            if (fault.kind == FaultKind::Missing) {
                ASSERT_TRUE(QFile::rename(path + ".away", path));
            }
            EXPECT_EQ(snapshot(shop.db.connection(), permanentTables()), before);
            EXPECT_EQ(integrityCheck(shop.db.connection()), "ok");
            if (fault.kind == FaultKind::Full)
                freeDisk(screen.get());
            if (readOnly) { // the window in use keeps its read-only connection: open anew
                readOnly.reset();
                screen = open(shop, work);
            }

            shop.messages.shown.clear();
            const int rows = shop.db.count(work.table);
            work.attempt(screen.get(), ++attempt);
            EXPECT_GT(shop.db.count(work.table), rows) << "stored once the fault is gone";
            EXPECT_EQ(integrityCheck(shop.db.connection()), "ok");
            screen->close();
        }
    }
}

// A screen either does not open and the opener shows why, or opens empty and says why.
TEST_F(DatabaseFaults, EveryScreenNamesAMissingFileWhenItOpens) {
    TestShop shop;
    QStringList ids;
    for (const char *id :
         {"frmSell",       "OnSaleReg",   "A1A2",      "frmDayReport", "frmMonthRpt",
          "frmBookQuery",  "frmInvoice",  "frmSafe",   "frmCreTitles", "frmNewQty",
          "frmBill",       "frmCheckPay", "frmPayRec", "dataTitles",   "dataSubject",
          "datapublisher", "dataRetail",  "dataBill",  "dataPaidBill", "dataSoldBook",
          "dataOnsale"})
        ids << id;
    ShopContext missing = shop.context;
    missing.shop = drivers::open(shop.db.path() + ".nowhere");
    // On a first start there is no shop yet: the operator is told how to make one.
    const QString message = "The shop database file is missing: " + missing.shop.location() +
                            "\n\nIf there is no shop yet, File > New Shop… makes one there (an "
                            "empty shop or the demo shop). If the shop was there before, File > "
                            "Restore a Backup… brings it back.";
    for (const QString &id : ids) {
        SCOPED_TRACE(id.toStdString());
        ASSERT_TRUE(registry.contains(id));
        shop.messages.shown.clear();
        try {
            delete registry.create(id, missing);
            EXPECT_EQ(shop.messages.texts(), QStringList{message});
        } catch (const DataError &error) {
            EXPECT_EQ(error.description(), message);
            EXPECT_TRUE(shop.messages.shown.empty());
        }
    }
}

TEST_F(DatabaseFaults, EveryScreenOpensAndListsOnAReadOnlyOrBusyFile) {
    for (const bool readOnlyFile : {true, false}) {
        SCOPED_TRACE(readOnlyFile ? "read-only" : "busy");
        TestShop shop;
        seed(shop);
        shortenWaits(shop);
        const Snapshot before = snapshot(shop.db.connection(), permanentTables());
        std::unique_ptr<ReadOnlyFile> readOnly;
        std::unique_ptr<Writer> writer;
        if (readOnlyFile) {
            readOnly = std::make_unique<ReadOnlyFile>(shop.db.path());
            if (!readOnly->holds())
                continue;
        } else
            writer = std::make_unique<Writer>(shop.db.path());
        for (const char *id : {"frmSell", "OnSaleReg", "A1A2", "frmDayReport", "frmMonthRpt",
                               "frmBookQuery", "frmInvoice", "frmSafe", "frmCreTitles", "frmNewQty",
                               "frmBill", "frmCheckPay", "frmPayRec", "dataTitles", "dataBill"}) {
            SCOPED_TRACE(id);
            std::unique_ptr<QWidget> screen;
            EXPECT_NO_THROW(screen.reset(registry.create(id, shop.context)));
        }
        writer.reset();
        readOnly.reset();
        EXPECT_EQ(snapshot(shop.db.connection(), permanentTables()), before);
    }
}
