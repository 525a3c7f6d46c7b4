// Where the main window opens and what it leaves in the settings store when it closes.
#include "shellfixture.h"
#include "windowplacement.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

QRect twipsRect(MainWindow &w, double left, double top, double width, double height) {
    const double dx = w.logicalDpiX(), dy = w.logicalDpiY();
    return QRect(placement::twipsToPixels(left, dx), placement::twipsToPixels(top, dy),
                 placement::twipsToPixels(width, dx), placement::twipsToPixels(height, dy));
}

QStringList storedTexts(QSettings &s) {
    QStringList texts;
    for (const char *key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
        texts << s.value(QStringLiteral("Settings/") + key).toString();
    return texts;
}

void showAndWait(MainWindow &w) {
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}

} // namespace

TEST(Placement, EmptyStoreOpensAtDefaults) {
    ShellFixture f;
    auto window = f.makeWindow();
    showAndWait(*window);
    EXPECT_EQ(window->frameGeometry(), twipsRect(*window, 1000, 1000, 6500, 6500));
}

TEST(Placement, CloseStoresAndNextStartRestores) {
    ShellFixture f;
    QRect closedAt;
    {
        auto window = f.makeWindow();
        showAndWait(*window);
        window->move(120, 85);
        window->resize(700, 480);
        closedAt = window->frameGeometry();
        ASSERT_TRUE(window->close());
    }
    for (const QString &text : storedTexts(f.settings())) {
        bool number = false;
        text.toDouble(&number);
        EXPECT_TRUE(number) << qPrintable(text);
        EXPECT_FALSE(text.contains('e')) << qPrintable(text);
    }
    auto again = f.makeWindow();
    showAndWait(*again);
    EXPECT_EQ(again->frameGeometry(), closedAt);
}

TEST(Placement, MinimisedFrameSavesNothing) {
    ShellFixture f;
    const QStringList earlier = {"1234.5", "2000", "9000", "7000"};
    f.settings().setValue("Settings/MainLeft", earlier[0]);
    f.settings().setValue("Settings/MainTop", earlier[1]);
    f.settings().setValue("Settings/MainWidth", earlier[2]);
    f.settings().setValue("Settings/MainHeight", earlier[3]);
    auto window = f.makeWindow();
    showAndWait(*window);
    window->showMinimized();
    ASSERT_TRUE(window->isMinimized());
    ASSERT_TRUE(window->close());
    EXPECT_EQ(storedTexts(f.settings()), earlier);
}

TEST(Placement, MaximisedFrameSavesItsGeometryAndNextStartIsNormal) {
    ShellFixture f;
    QRect maximised;
    {
        auto window = f.makeWindow();
        showAndWait(*window);
        window->showMaximized();
        QTest::qWait(0);
        ASSERT_TRUE(window->isMaximized());
        maximised = window->frameGeometry();
        ASSERT_TRUE(window->close());
    }
    auto again = f.makeWindow();
    showAndWait(*again);
    EXPECT_EQ(again->windowState(), Qt::WindowNoState);
    EXPECT_EQ(again->frameGeometry(), maximised);
}

TEST(Placement, StoredTextThatIsNoNumberFallsBackToItsDefault) {
    struct Case {
        const char *left;
        double wantLeft;
    };
    const Case cases[] = {{"abc", 1000}, {"", 1000},     {"12abc", 1000},  {"nan", 1000},
                          {"inf", 1000}, {"1e30", 1000}, {" 1500 ", 1500}, {"1500.0", 1500}};
    for (const Case &c : cases) {
        ShellFixture f;
        f.settings().setValue("Settings/MainLeft", c.left);
        f.settings().setValue("Settings/MainTop", "2000");
        auto window = f.makeWindow();
        const QRect want = twipsRect(*window, c.wantLeft, 2000, 6500, 6500);
        EXPECT_EQ(window->pos(), want.topLeft()) << "MainLeft=" << c.left;
        EXPECT_EQ(window->size(), want.size()) << "MainLeft=" << c.left;
    }
}

TEST(Placement, ValuesAreWrittenAsShortestPlainDecimals) {
    const std::pair<float, const char *> cases[] = {
        {1005.f, "1005"}, {66.5f, "66.5"}, {0.1f, "0.1"}, {-15.f, "-15"}, {1000000.f, "1000000"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(placement::valueText(value), text);
}
