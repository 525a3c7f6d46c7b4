// File > New Shop…: what it makes where, what it refuses, and what the status bar says.
#include "newshopdialog.h"
#include "opendatabase.h"
#include "shellfixture.h"
#include "shopfile.h"
#include "shopstatusbar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

enum class Before { Nothing, Shop, Folder, DanglingLink };
enum class Answer { EmptyShop, DemoShop, Cancel, FileAppearsMeanwhile };

struct Case {
    const char *name;
    Before before;
    Answer answer;
    bool boxShown;
    int titles;          // rows in Titles afterwards (at least, for the demo); -1: not a shop
    QStringList message; // the one message shown, or none
};

QByteArray fingerprint(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

TEST(NewShop, MakesTheChosenShopOnlyWhereThereIsNone) {
    const QString made = "The demo shop was made at %1.";
    const QString madeEmpty = "An empty shop was made at %1. Enter its subjects, publishers and "
                              "suppliers under DatabaseMaintain, then its titles.";
    const QString refused =
        "There is a shop at %1 already. New Shop never replaces one; nothing was changed.";
    const Case cases[] = {
        {"empty shop", Before::Nothing, Answer::EmptyShop, true, 0, {madeEmpty}},
        {"demo shop", Before::Nothing, Answer::DemoShop, true, 35, {made}},
        {"cancelled", Before::Nothing, Answer::Cancel, true, -1, {}},
        {"made meanwhile", Before::Nothing, Answer::FileAppearsMeanwhile, true, -1, {refused}},
        {"shop there", Before::Shop, Answer::DemoShop, false, 0, {refused}},
        {"folder there", Before::Folder, Answer::DemoShop, false, -1, {refused}},
        {"dangling link", Before::DanglingLink, Answer::DemoShop, false, -1, {refused}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        const QString path = home.filePath("Quillmart/book1.mdb");
        if (c.before != Before::Nothing) {
            ASSERT_TRUE(QDir().mkpath(home.filePath("Quillmart")));
        }
        if (c.before == Before::Shop) {
            shopfile::create(path);
        } else if (c.before == Before::Folder) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else if (c.before == Before::DanglingLink) {
            ASSERT_TRUE(QFile::link(home.filePath("gone.mdb"), path));
        }
        const QByteArray before = fingerprint(path);

        ShellFixture f;
        f.shop.context.shop = drivers::open(path);
        auto window = f.makeWindow();
        auto *bar = window->findChild<ShopStatusBar *>("sbStatusBar");
        // Said only where New Shop can make one.
        const bool missing = c.before == Before::Nothing;
        const bool there = c.before == Before::Shop;
        EXPECT_EQ(bar->shopText(), missing ? "No shop yet"
                                   : there ? "Shop: " + QFileInfo(path).fileName()
                                           : "");
        EXPECT_EQ(bar->shopToolTip(), missing ? "No shop yet: Quillmart expects it at " + path +
                                                    ". File > New Shop… makes one there."
                                      : there ? "Shop: " + path
                                              : "");
        EXPECT_EQ(bar->panelText(1), "Status");

        QString boxName, question;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<NewShopDialog *>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            boxName = box->objectName();
            question = box->findChild<QLabel *>("lblQuestion")->text();
            if (c.answer == Answer::DemoShop)
                box->findChild<QAbstractButton *>("optDemo")->click();
            if (c.answer == Answer::FileAppearsMeanwhile) {
                ASSERT_TRUE(QDir().mkpath(home.filePath("Quillmart")));
                QFile other(path);
                ASSERT_TRUE(other.open(QIODevice::WriteOnly));
                other.write("someone else's file");
            }
            box->findChild<QAbstractButton *>(c.answer == Answer::Cancel ? "cmdCancel" : "cmdOK")
                ->click();
        });
        window->findChild<QAction *>("mnuFileNewShop")->trigger();
        QApplication::processEvents(); // a timer not taken by a box fires here, harmlessly

        EXPECT_EQ(boxName, c.boxShown ? "frmNewShop" : "");
        if (c.boxShown) {
            EXPECT_EQ(question, "There is no shop at " + path +
                                    " yet.\nWhich shop shall Quillmart make there?");
        }
        QStringList expected;
        for (const QString &text : c.message)
            expected << text.arg(path);
        EXPECT_EQ(f.shop.messages.texts(), expected);

        // Whatever had the name is just as it was.
        if (c.before == Before::Shop) {
            EXPECT_EQ(fingerprint(path), before);
        }
        if (c.answer == Answer::FileAppearsMeanwhile) {
            EXPECT_EQ(fingerprint(path),
                      QCryptographicHash::hash("someone else's file", QCryptographicHash::Sha256));
        }
        if (c.before == Before::Folder) {
            EXPECT_TRUE(QFileInfo(path).isDir());
        }
        if (c.before == Before::DanglingLink) {
            EXPECT_TRUE(QFileInfo(path).isSymLink() && !QFileInfo::exists(path));
        }
        if (c.answer == Answer::Cancel) {
            EXPECT_FALSE(QFileInfo::exists(home.filePath("Quillmart")));
            EXPECT_FALSE(bar->shopText().isEmpty()); // still no shop, still said
        }
        if (c.titles < 0)
            continue;
        Connection db = drivers::connect(path);
        const int titles = db.scalar("SELECT count(*) FROM Titles").toInt();
        if (c.answer == Answer::DemoShop && c.before == Before::Nothing) {
            EXPECT_GE(titles, c.titles);
            // Dated by the program's clock: three weeks of sales up to 2001/5/3.
            EXPECT_EQ(db.scalar("SELECT max(SoldDate) FROM soldbook").toString(), "2001-05-03");
            EXPECT_EQ(db.scalar("SELECT min(SoldDate) FROM soldbook").toString(), "2001-04-13");
        } else {
            EXPECT_EQ(titles, c.titles);
            EXPECT_EQ(db.scalar("SELECT count(*) FROM soldbook").toInt(), 0);
        }
        EXPECT_EQ(bar->shopToolTip(), "Shop: " + path); // the shop is there now
        if (c.before == Before::Nothing) { // the folder and the file are the owner's alone
            const QFileDevice::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
            const QFileDevice::Permissions others = QFile::ReadGroup | QFile::WriteGroup |
                                                    QFile::ExeGroup | QFile::ReadOther |
                                                    QFile::WriteOther | QFile::ExeOther;
            const QFileDevice::Permissions ownerBits = ownerOnly | QFile::ExeOwner;
            EXPECT_EQ(QFileInfo(path).permissions() & (others | ownerBits), ownerOnly);
            EXPECT_EQ(QFileInfo(home.filePath("Quillmart")).permissions() & (others | ownerBits),
                      ownerBits);
        }
    }
}
