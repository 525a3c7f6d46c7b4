// Opens each screen in turn inside the main window and saves a picture of it.
#include "screenshottour.h"

#include "aboutdialog.h"
#include "mainwindow.h"
#include "menutable.h"
#include "toolbartable.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <cstdio>
#include <functional>

namespace {
void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void press(QWidget *screen, const char *button) {
    if (auto *found = screen->findChild<QPushButton *>(QLatin1String(button)))
        found->click();
}

// The sales charts over the last month of the shop's sales: the report listed as the
// operator would, then its Chart button pressed.
QWidget *chartOf(QWidget *screen, const QString &id) {
    const QDate today = QDate::currentDate();
    if (auto *first = screen->findChild<QDateEdit *>(QStringLiteral("DTPicker1")))
        first->setDate(id == QStringLiteral("frmDayReport") ? today.addDays(-1)
                                                            : today.addDays(-30));
    if (auto *last = screen->findChild<QDateEdit *>(QStringLiteral("DTPicker2")))
        last->setDate(today);
    if (id == QStringLiteral("A1A2")) {
        press(screen, "command1");
        press(screen, "Command2");
    } else if (id == QStringLiteral("frmMonthRpt")) {
        press(screen, "Command1");
    }
    press(screen, "cmdChart");
    settle();
    return screen->findChild<QWidget *>(QStringLiteral("chartWindow"));
}
// The counter's "Do you have…?" with two words typed, once the list has followed them.
QDialog *searchOf(QWidget *screen) {
    press(screen, "cmdDoYouHave");
    settle();
    auto *dialog = screen->findChild<QDialog *>(QStringLiteral("dlgDoYouHave"));
    auto *words = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("txtWords")) : nullptr;
    if (words == nullptr)
        return nullptr;
    words->setText(QStringLiteral("the salt"));
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return dialog;
}
using Keep = std::function<void(QWidget *, const QString &)>;

void fill(QWidget *on, const char *box, const QString &text) {
    if (auto *edit = on->findChild<QLineEdit *>(QLatin1String(box)))
        edit->setText(text);
}

QDialog *dialogOf(QWidget *screen, const char *name) {
    settle();
    return screen->findChild<QDialog *>(QLatin1String(name));
}

// The counter's window, when it opened: its boxes filled in as the operator would, its picture
// taken, then its button pressed.
void fillKeepPress(QWidget *screen, const char *name,
                   std::initializer_list<std::pair<const char *, QString>> boxes,
                   const char *button, const Keep &keep) {
    QDialog *dialog = dialogOf(screen, name);
    if (dialog == nullptr)
        return;
    for (const auto &[box, text] : boxes)
        fill(dialog, box, text);
    keep(dialog, QLatin1String(name));
    press(dialog, button);
}

// The counter's day on a shop that takes payment: the float asked for and counted, a title
// sold, cash put in, a refund by the receipt's number, a void, the blind count and the Z report;
// then the next session opened, for the X report and the list of sessions.
void counterDay(QWidget *screen, QWidget *frame, const Keep &keep) {
    fill(screen, "txtFloat", QStringLiteral("150.00"));
    keep(frame, QStringLiteral("frmSell-float"));
    press(screen, "cmdOpenSession");
    if (QDialog *search = searchOf(screen)) {
        keep(search, QStringLiteral("dlgDoYouHave"));
        press(search, "cmdChoose");
        settle();
        press(screen, "Command2");
    }
    settle();
    keep(frame, QStringLiteral("frmSell"));
    press(screen, "cmdCashIn");
    fillKeepPress(screen, "dlgCashIn",
                  {{"txtAmount", QStringLiteral("50")},
                   {"txtReason", QStringLiteral("change from the bank")}},
                  "cmdRecord", keep);
    press(screen, "cmdRefund");
    if (QDialog *refund = dialogOf(screen, "dlgRefund")) {
        const auto *number = screen->findChild<QLabel *>(QStringLiteral("lblReceiptNumber"));
        fill(refund, "txtReceipt",
             number ? number->text().section(QLatin1Char(' '), 1, 1) : QString());
        press(refund, "cmdShowReceipt");
        if (auto *copies = refund->findChild<QSpinBox *>(QStringLiteral("spnRefund_0")))
            copies->setValue(1);
        if (auto *reason = refund->findChild<QComboBox *>(QStringLiteral("cboReason")))
            reason->setCurrentIndex(0);
        settle();
        keep(refund, QStringLiteral("dlgRefund"));
        if (auto *tabs = refund->findChild<QTabWidget *>(QStringLiteral("tabRefund")))
            tabs->setCurrentIndex(1);
        const auto *lines = refund->findChild<QTableWidget *>(QStringLiteral("grdReceiptLines"));
        fill(refund, "txtIsbn", lines && lines->item(0, 0) ? lines->item(0, 0)->text() : QString());
        press(refund, "cmdFindTitle");
        fill(refund, "txtPrice", QStringLiteral("30.00"));
        settle();
        keep(refund, QStringLiteral("dlgRefund-isbn"));
        refund->reject();
    }
    press(screen, "cmdVoid");
    if (QDialog *voiding = dialogOf(screen, "dlgVoid")) {
        fill(voiding, "txtReason", QStringLiteral("customer changed her mind"));
        keep(voiding, QStringLiteral("dlgVoid"));
        if (auto *choices = voiding->findChild<QListWidget *>(QStringLiteral("lstVoid")))
            choices->setCurrentRow(0); // the whole receipt, so that the session may close
        press(voiding, "cmdVoid");
    }
    press(screen, "cmdCloseSession");
    fillKeepPress(screen, "dlgBlindCount",
                  {{"txtCount_0", QStringLiteral("198.50")}, {"txtCount_1", QStringLiteral("0")}},
                  "cmdCloseCounted", keep);
    if (QDialog *z = dialogOf(screen, "dlgZReport")) {
        z->resize(520, 900);
        settle();
        keep(z, QStringLiteral("dlgZReport"));
        z->close();
    }
    fill(screen, "txtFloat", QStringLiteral("150"));
    press(screen, "cmdOpenSession");
    settle();
}
} // namespace

namespace screenshots {

QStringList shellScreenIds() {
    QStringList ids;
    auto add = [&ids](const char *id) {
        if (id != nullptr && !ids.contains(QLatin1String(id)))
            ids.append(QLatin1String(id));
    };
    for (const MenuEntry &entry : menuTable())
        add(entry.screenId);
    for (const ToolbarEntry &entry : toolbarTable())
        add(entry.screenId);
    return ids;
}

QStringList takeAll(MainWindow &window, const QString &dir) {
    QDir().mkpath(dir);
    QStringList written;
    auto keep = [&](QWidget *widget, const QString &name) {
        const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
        if (widget->grab().save(path, "PNG"))
            written.append(path);
        else
            std::fprintf(stderr, "quillmart: could not write %s\n", qPrintable(path));
    };
    settle();
    keep(&window, QStringLiteral("frmMain"));

    AboutDialog about(&window);
    about.show();
    settle();
    keep(&about, QStringLiteral("frmAbout"));
    about.close();

    for (const QString &id : shellScreenIds()) {
        if (!window.screens().contains(id))
            continue;
        QWidget *screen = window.openNew(id);
        if (screen == nullptr)
            continue;
        settle();
        auto *sub = qobject_cast<QMdiSubWindow *>(screen->parentWidget());
        QWidget *frame = sub ? static_cast<QWidget *>(sub) : screen;
        const auto *session = screen->findChild<QWidget *>(QStringLiteral("fraSession"));
        if (session != nullptr && session->isVisible()) {
            counterDay(screen, frame, keep);
            window.close(screen);
            settle();
            continue;
        }
        if (id == QStringLiteral("frmXReport")) {
            press(screen, "cmdShow");
            settle();
        }
        keep(frame, id);
        if (QDialog *search = searchOf(screen)) {
            keep(search, QStringLiteral("dlgDoYouHave"));
            search->reject();
            settle();
        }
        if (screen->findChild<QPushButton *>(QStringLiteral("cmdChart")) != nullptr) {
            if (QWidget *chart = chartOf(screen, id))
                keep(chart, id + QStringLiteral("-chart"));
        }
        window.close(screen);
        settle();
    }
    return written;
}

} // namespace screenshots
