// The help command and the About box.
#include "aboutdialog.h"
#include "helpcommand.h"
#include "shellfixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

using Icon = MessageBoxes::Icon;

TEST(Help, WithoutAHelpFileOnlyTheMessageShows) {
    ShellFixture f;
    auto window = f.makeWindow(QString());
    window->findChild<QAction *>("mnuHelpContents")->trigger();
    ASSERT_EQ(f.shop.messages.shown.size(), 1u);
    const auto &shown = f.shop.messages.shown[0];
    EXPECT_EQ(shown.text, QString::fromUtf8("無法顯示說明內容，無與此專案相關的說明。"));
    EXPECT_EQ(shown.icon, Icon::Information);
    EXPECT_EQ(shown.title, "Quillmart");
    EXPECT_FALSE(shown.confirmation);
    EXPECT_TRUE(f.viewerCalls.isEmpty());
}

TEST(Help, OpensTheDocumentInTheViewer) {
    QTemporaryDir dir;
    const QString path = dir.filePath("index.html");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
    file.close();

    ShellFixture f;
    auto window = f.makeWindow(path);
    window->findChild<QAction *>("mnuHelpContents")->trigger();
    EXPECT_EQ(f.viewerCalls, QStringList{path});
    EXPECT_TRUE(f.shop.messages.shown.empty());

    f.viewerResult = false; // no viewer could be started
    window->findChild<QAction *>("mnuHelpContents")->trigger();
    ASSERT_EQ(f.shop.messages.shown.size(), 1u);
    EXPECT_EQ(f.shop.messages.shown[0].text,
              "The help viewer could not be started for " + path + ".");
}

TEST(Help, MissingDocumentIsReportedWithoutStartingTheViewer) {
    ShellFixture f;
    auto window = f.makeWindow("/nonexistent/quillmart/help/index.html");
    window->findChild<QAction *>("mnuHelpContents")->trigger();
    EXPECT_TRUE(f.viewerCalls.isEmpty());
    EXPECT_EQ(f.shop.messages.texts(),
              QStringList{"The help document /nonexistent/quillmart/help/index.html could not "
                          "be found."});
}

TEST(About, ShowsNameVersionAndRightsInArial12) {
    QWidget owner;
    AboutDialog box(&owner);
    EXPECT_EQ(box.objectName(), "frmAbout");
    EXPECT_EQ(box.windowTitle(), "About Quillmart");
    EXPECT_EQ(box.findChild<QLabel *>("lblTitle")->text(), "Quillmart   V1.0");
    EXPECT_EQ(box.findChild<QLabel *>("lblDescription")->text(), "For Windows 98");
    EXPECT_FALSE(box.findChild<QLabel *>("Label1")->text().isEmpty());
    EXPECT_FALSE(box.findChild<QLabel *>("picIcon")->pixmap().isNull());
    EXPECT_EQ(box.findChild<QFrame *>("Line1")->frameShape(), QFrame::HLine);
    for (const char *name : {"lblTitle", "lblDescription", "Label1"}) {
        const QFont font = box.findChild<QLabel *>(name)->font();
        EXPECT_EQ(font.families().value(0), "Arial") << name;
        EXPECT_EQ(font.pointSize(), 12) << name;
    }
    auto *ok = box.findChild<QPushButton *>("cmdOK");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMaximizeButtonHint);
    box.show();
    EXPECT_EQ(box.minimumSize(), box.maximumSize()); // fixed size
}

TEST(About, EnterAndEscCloseIt) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QWidget owner;
        owner.show();
        AboutDialog box(&owner);
        box.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        QTest::keyClick(&box, key);
        EXPECT_FALSE(box.isVisible()) << key;
    }
}

TEST(About, IsModalOverTheFrameWhichTakesNoInputMeanwhile) {
    ShellFixture f;
    auto window = f.makeWindow();
    f.addFakeScreens(*window, {"frmSell", "A1A2"});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto *toolbar = window->findChild<QToolBar *>("Toolbar1");
    auto clickButton = [&](const char *key) {
        QWidget *button = toolbar->widgetForAction(toolbar->findChild<QAction *>(key));
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          button->mapTo(window.get(), button->rect().center()));
    };
    clickButton("sellbook"); // a click reaches the toolbar when nothing is modal
    ASSERT_EQ(openWindowCount(*window), 1);

    QString modalName;
    bool ownedByFrame = false;
    int boxes = 0;
    int windowsWhileModal = -1;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        modalName = modal->objectName();
        ownedByFrame = modal->parentWidget() == window.get();
        window->showAbout(); // a second request shows no second box
        boxes = int(window->findChildren<AboutDialog *>().size());
        clickButton("top10");
        QTest::keyClick(window->windowHandle(), Qt::Key_S, Qt::AltModifier);
        windowsWhileModal = openWindowCount(*window);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    window->findChild<QAction *>("mnuHelpAbout")->trigger(); // returns when the box closes

    EXPECT_EQ(modalName, "frmAbout");
    EXPECT_TRUE(ownedByFrame);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(windowsWhileModal, 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    clickButton("top10");
    EXPECT_EQ(openWindowCount(*window), 2);
}
