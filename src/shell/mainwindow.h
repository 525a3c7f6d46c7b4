// frmMain: the frame of the program. Menus, toolbar and status bar; opens every screen as
// a child window; keeps its placement in the settings store.
#pragma once

#include "commandkind.h"
#include "helpcommand.h"
#include "logingate.h"
#include "messageboxes.h"
#include "screenopener.h"
#include "screenregistry.h"
#include "shopcontext.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSize>

class ImageList;
class QMdiSubWindow;
class QSettings;
class ShopMdiArea;
class ShopStatusBar;

class MainWindow : public QMainWindow, public ScreenOpener {
    Q_OBJECT
public:
    // The context's opener becomes this window. `settings` holds the placement and must
    // outlive the window. An empty help file means a build without help.
    MainWindow(const ShopContext &context, QSettings &settings, const QString &helpFile,
               HelpCommand::Viewer helpViewer = HelpCommand::desktopViewer(),
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // The table of screens the menus and toolbar open; subsystems fill it before use.
    ScreenRegistry &screens() { return screens_; }
    const ShopContext &context() const { return context_; }
    ShopMdiArea *mdiArea() const { return mdi_; }
    ImageList *imageList() const { return images_; }

    QWidget *openNew(const QString &screenId) override;
    QWidget *openShared(const QString &screenId) override;
    void close(QWidget *screen) override;
    using QMainWindow::close;

    // The toolbar's click handler: selects on the button's key, exactly as written.
    void toolbarButtonClicked(const QString &key);
    void showAbout();
    // Closes every screen, each running its own closing logic; false when one refuses.
    bool closeAllScreens();
    // On a server shop: how long the counter's screens and the back office's wait for what
    // another till holds, in seconds (0: no limit, as until this is called).
    void setTimeouts(int counterSeconds, int officeSeconds);
    // On a server shop: reads who the program works as (the operator is told when the server
    // cannot be reached or the login is refused) and marks the commands of the screens this
    // login may not open.
    void checkLogin();

signals:
    // File > Restore a Backup: whoever keeps the backups answers it.
    void restoreChosen();
    // File > Upgrade the Shop… on a shop file.
    void upgradeChosen();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    // What a menu entry or a toolbar button of this kind does; `screenId` names its screen.
    void runCommand(CommandKind kind, const char *screenId);
    void newShop();
    void printReceipt();
    QMdiSubWindow *createSubWindow(const QString &screenId);
    void bringForward(QMdiSubWindow *window);
    // The screen's own context: its session's time limit on a server shop.
    ShopContext contextFor(const QString &screenId) const;
    // Once the login is known: marks the commands of the screens it may not open.
    void markRefusedCommands();
    void showTill();
    void restorePlacement();
    void savePlacement();
    void fitOuterSize();

    ShopContext context_;
    WidgetMessageBoxes ownMessages_;
    ScreenRegistry screens_;
    QSettings &settings_;
    HelpCommand help_;
    ShopMdiArea *mdi_;
    ShopStatusBar *statusBar_;
    ImageList *images_;
    QMap<QString, QPointer<QMdiSubWindow>> shared_;
    QPointer<QDialog> about_;
    LoginGate gate_;
    bool commandsMarked_ = false;
    bool tillShown_ = false; // the till panel is filled when the first screen opens
    int counterTimeout_ = 0, officeTimeout_ = 0;
    QSize wantedOuterSize_; // until the window frame is known
};
