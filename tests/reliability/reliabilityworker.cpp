// Sells or pays bills through the real screens, one after another, or backs the shop up
// again and again, until it is killed:
//   reliability_worker sell|pay|backup <database>
// It prints "ready" once its screen is open (or before the first backup). Messages go to stderr;
// confirmations are OK.
#include "allscreens.h"
#include "clock.h"
#include "messageboxes.h"
#include "opendatabase.h"
#include "recordsource.h"
#include "screenopener.h"
#include "screenregistry.h"
#include "shopbackups.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != "sell" && args[1] != "pay" && args[1] != "backup")) {
        std::fputs("usage: reliability_worker sell|pay|backup <database>\n", stderr);
        return 2;
    }
    if (args[1] == "backup") {
        std::puts("ready");
        std::fflush(stdout);
        backUp(args[2]);
    }
    StderrMessages messages;
    FixedClock clock(QDate(2001, 5, 3), QTime(10, 30, 0));
    NoOpener opener;
    const ShopContext context{drivers::open(args[2]), &messages, &clock, &opener};
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
