// A new user's first start: every screen opened in the main window at its first-start size
// and maximised can be reached to its last control, a screen reader hears what each box
// shows, never the name a control has in the code, and Tab goes along a row of buttons as
// it stands.
#include "mainwindow.h"
#include "screencases.h"
#include "screenshottour.h"
#include "shopmdiarea.h"
#include "testsupport.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

using namespace reliability;

namespace {

struct FirstStart {
    FirstStart() : settings(dir.filePath("Quillmart.ini"), QSettings::IniFormat) {
        seedShop(shop);
        window = std::make_unique<MainWindow>(shop.context, settings, QString(),
                                              [](const QString &) { return true; });
        registerAllScreens(window->screens());
    }
    TestShop shop;
    QTemporaryDir dir;
    QSettings settings;
    std::unique_ptr<MainWindow> window;
};

QMdiSubWindow *subWindowOf(QWidget *screen) {
    for (QWidget *w = screen; w != nullptr; w = w->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            return sub;
    return nullptr;
}

// With the scroll bars at their start the window's top-left corner is in view, and at their
// end its bottom-right corner: every control in between can be scrolled to.
void expectReachable(ShopMdiArea *area, QMdiSubWindow *sub, const std::string &what) {
    QScrollBar *across = area->horizontalScrollBar(), *down = area->verticalScrollBar();
    across->setValue(across->minimum());
    down->setValue(down->minimum());
    QCoreApplication::processEvents();
    EXPECT_GE(sub->x(), 0) << what;
    EXPECT_GE(sub->y(), 0) << what;
    across->setValue(across->maximum());
    down->setValue(down->maximum());
    QCoreApplication::processEvents();
    const QSize room = area->viewport()->size();
    EXPECT_LE(sub->geometry().right(), room.width() - 1)
        << what << " room " << room.width() << " bar " << across->minimum() << ".."
        << across->maximum() << " visible " << across->isVisible() << " at " << sub->x();
    EXPECT_LE(sub->geometry().bottom(), room.height() - 1) << what << " room " << room.height();
}

QString withoutMnemonic(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// What a screen reader hears of each widget of the screen.
void expectReadable(QWidget *screen, const std::string &what) {
    std::set<QString> objectNames;
    for (QObject *object : screen->findChildren<QObject *>())
        if (!object->objectName().isEmpty())
            objectNames.insert(object->objectName());
    objectNames.insert(screen->objectName());
    QList<QWidget *> widgets = screen->findChildren<QWidget *>();
    widgets.prepend(screen);
    for (QWidget *widget : widgets) {
        if ((!widget->isVisibleTo(screen) && widget != screen) ||
            qobject_cast<QAbstractSpinBox *>(widget->parentWidget()) ||
            qobject_cast<QComboBox *>(widget->parentWidget()))
            continue; // a date picker's or list's own edit part is heard as the picker or list
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
        if (face == nullptr)
            continue;
        const QString name = face->text(QAccessible::Name);
        const QString value = face->text(QAccessible::Value);
        const std::string where = what + " " + widget->objectName().toStdString() + " (" +
                                  widget->metaObject()->className() + ")";
        EXPECT_FALSE(objectNames.count(name)) << where << " is heard as " << name.toStdString();
        QString shown;
        if (auto *label = qobject_cast<QLabel *>(widget))
            shown = label->buddy() != nullptr ? withoutMnemonic(label->text()) : label->text();
        else if (auto *box = qobject_cast<QLineEdit *>(widget))
            shown = box->text();
        else if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
            shown = spin->text();
        else
            continue;
        if (shown.isEmpty() || shown.contains(QLatin1Char('<')))
            continue; // nothing to hear, or rich text whose words are read as they stand
        EXPECT_TRUE(name == shown || value == shown)
            << where << " shows \"" << shown.toStdString() << "\" but is heard as name \""
            << name.toStdString() << "\", value \"" << value.toStdString() << "\"";
    }
}

// Buttons side by side in one row are reached by Tab from left to right.
void expectTabbedAsTheyStand(QWidget *screen, const std::string &what) {
    std::vector<QPushButton *> reached;
    for (QWidget *w = screen->nextInFocusChain(); w != screen; w = w->nextInFocusChain()) {
        auto *button = qobject_cast<QPushButton *>(w);
        if (button != nullptr && screen->isAncestorOf(button) && button->isVisibleTo(screen) &&
            (button->focusPolicy() & Qt::TabFocus) != 0)
            reached.push_back(button);
    }
    const auto placeOf = [screen](QWidget *w) {
        return QRect(w->mapTo(screen, QPoint()), w->size());
    };
    for (std::size_t i = 0; i < reached.size(); ++i)
        for (std::size_t j = i + 1; j < reached.size(); ++j) {
            const QRect first = placeOf(reached[i]), later = placeOf(reached[j]);
            if (first.center().y() == later.center().y()) {
                EXPECT_LT(first.x(), later.x())
                    << what << ": Tab reaches " << reached[j]->objectName().toStdString()
                    << " after " << reached[i]->objectName().toStdString()
                    << ", which stands right of it";
            }
        }
}

} // namespace

TEST(FirstStart, EveryScreenCanBeReachedAtTheFirstStartSizeAndMaximised) {
    for (const bool maximised : {false, true}) {
        FirstStart start;
        MainWindow &window = *start.window;
        maximised ? window.showMaximized() : window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        for (const ScreenCase &screen : screenCases()) {
            const std::string what =
                screen.id.toStdString() + (maximised ? " in a maximised frame" : " at first start");
            QWidget *opened = window.openNew(screen.id);
            ASSERT_NE(opened, nullptr) << what;
            QMdiSubWindow *sub = subWindowOf(opened);
            ASSERT_NE(sub, nullptr) << what;
            QCoreApplication::processEvents();
            expectReachable(window.mdiArea(), sub, what);
            sub->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
        window.close();
    }
}

TEST(FirstStart, ScreenReadersHearWhatEachBoxShows) {
    FirstStart start;
    MainWindow &window = *start.window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (const ScreenCase &screen : screenCases()) {
        QWidget *opened = window.openNew(screen.id);
        ASSERT_NE(opened, nullptr) << screen.id.toStdString();
        QCoreApplication::processEvents();
        expectReadable(opened, screen.id.toStdString());
        if (screen.id == QLatin1String("frmSell")) { // and with a title looked up
            const QString isbn =
                start.shop.db.scalar("SELECT ISBN FROM Titles ORDER BY BOOKNO LIMIT 1").toString();
            opened->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(isbn);
            opened->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
            ASSERT_FALSE(opened->findChild<QLabel *>(QStringLiteral("Label3_1"))->text().isEmpty());
            expectReadable(opened, "frmSell after a lookup");
        }
        subWindowOf(opened)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    window.close();
}

TEST(FirstStart, TabGoesAlongEachRowOfButtonsFromLeftToRight) {
    FirstStart start;
    MainWindow &window = *start.window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (const QString &id : screenshots::shellScreenIds()) { // every screen the menus open
        QWidget *opened = window.openNew(id);
        ASSERT_NE(opened, nullptr) << id.toStdString();
        QCoreApplication::processEvents();
        expectTabbedAsTheyStand(opened, id.toStdString());
        subWindowOf(opened)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    window.close();
}
