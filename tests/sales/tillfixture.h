// The counter of a shop that takes payment, with its till's session, refunds and voids: the
// windows the counter opens found by their names, and keys pressed as the operator presses
// them.
#pragma once

#include "blindcountdialog.h"
#include "counterreturns.h"
#include "countersession.h"
#include "paymentsfixture.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>

class TillCounter : public Payments {
protected:
    // The counter's window that is open now, by its name; null when there is none.
    template <typename Window> Window *window(const char *name) {
        for (Window *found : screen->findChildren<Window *>(QLatin1String(name)))
            if (found->isVisible())
                return found;
        return nullptr;
    }
    // The window comes to the front with the keyboard's focus, as the operator sees it.
    static bool activate(QWidget *window) {
        QApplication::setActiveWindow(window);
        return QTest::qWaitForWindowActive(window);
    }
    // Types the text into the box, over what it held, and presses Enter in it.
    static void typeEnter(QLineEdit *box, const QString &text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        if (text.isEmpty())
            box->clear();
        QTest::keyClick(box, Qt::Key_Return);
    }
    // Closes every window the counter opened, so that the next step finds its own.
    void closeWindows() {
        for (QDialog *dialog : screen->findChildren<QDialog *>())
            delete dialog;
    }
    QStringList told() {
        const QStringList texts = shop.messages.texts();
        shop.messages.shown.clear();
        return texts;
    }
    // Close Session at the counter with these counts of cash and of card; true when it closed.
    bool closeCounted(const QString &cash, const QString &card) {
        screen->tillSession()->closeSession();
        auto *count = window<BlindCountDialog>("dlgBlindCount");
        if (count == nullptr)
            return false;
        count->countBox(0)->setText(cash);
        count->countBox(1)->setText(card);
        return count->closeSession();
    }
    // Whether the operator was told nothing (`start` empty), or was told one message that
    // begins with `start`.
    bool toldOnly(const char *start) {
        const QStringList texts = told();
        if (*start == '\0')
            return texts.isEmpty();
        return texts.size() == 1 && texts[0].startsWith(QString::fromUtf8(start));
    }
};
