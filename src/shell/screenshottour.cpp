// Opens each screen in turn inside the main window and saves a picture of it.
#include "screenshottour.h"

#include "aboutdialog.h"
#include "mainwindow.h"
#include "menutable.h"
#include "toolbartable.h"

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <cstdio>

namespace {
void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

bool save(QWidget *widget, const QString &path) {
    return widget->grab().save(path, "PNG");
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
        if (save(widget, path))
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
        keep(sub ? static_cast<QWidget *>(sub) : screen, id);
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

void ConsoleMessageBoxes::inform(const QString &text, Icon, const QString &title,
                                 const QString &details) {
    std::fprintf(stderr, "%s: %s%s%s\n",
                 qPrintable(title.isEmpty() ? QStringLiteral("Quillmart") : title),
                 qPrintable(text), details.isEmpty() ? "" : "\n", qPrintable(details));
}

bool ConsoleMessageBoxes::confirm(const QString &text, const QString &title,
                                  const QString &details) {
    inform(text, Icon::None, title, details);
    return false; // nothing unattended is ever confirmed
}
