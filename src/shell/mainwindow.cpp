// The main window: built from the menu and toolbar tables; the screen opener; placement.
#include "mainwindow.h"

#include "aboutdialog.h"
#include "connection.h"
#include "errorpolicy.h"
#include "imagelist.h"
#include "menutable.h"
#include "newshopcommand.h"
#include "receipts.h"
#include "screenwork.h"
#include "shellpictures.h"
#include "shopmdiarea.h"
#include "shopstatusbar.h"
#include "toolbartable.h"
#include "windowplacement.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>
#include <QWindow>

namespace {
ShopContext contextOpenedBy(const ShopContext &context, ScreenOpener *opener,
                            MessageBoxes *fallbackMessages) {
    ShopContext own = context;
    own.opener = opener;
    if (own.messages == nullptr)
        own.messages = fallbackMessages;
    return own;
}

QWidget *toolbarGap(QWidget *parent, int position) {
    // A blank gap, as wide as the toolbar's usual separator, without its line.
    auto *gap = new QWidget(parent);
    gap->setObjectName(QStringLiteral("Toolbar1_gap%1").arg(position));
    gap->setFixedWidth(8);
    return gap;
}
} // namespace

MainWindow::MainWindow(const ShopContext &context, QSettings &settings, const QString &helpFile,
                       HelpCommand::Viewer helpViewer, QWidget *parent)
    : QMainWindow(parent), context_(contextOpenedBy(context, this, &ownMessages_)),
      ownMessages_(this), settings_(settings),
      help_(helpFile, std::move(helpViewer), *context_.messages), mdi_(new ShopMdiArea(this)),
      statusBar_(new ShopStatusBar(context.clock, this)), images_(new ImageList(this)),
      gate_(context_.shop, *context_.messages, context_.tillCopy != nullptr) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QLatin1String(applicationTitle()));
    setWindowIcon(shellpictures::programIcon());
    mdi_->setObjectName(QStringLiteral("mdiClient"));
    setCentralWidget(mdi_);
    setStatusBar(statusBar_);
    statusBar_->showShop(context_.shop);
    // A counter selling without the server says so here too, whichever window is in front.
    context_.showOffline = [bar = statusBar_](const QString &text) { bar->showOffline(text); };
    buildMenus();
    buildToolbar();
    restorePlacement();
}

MainWindow::~MainWindow() {
    // Screens go before the services they were given.
    delete mdi_;
}

void MainWindow::buildMenus() {
    QMap<QString, QMenu *> menus;
    for (const MenuEntry &entry : menuTable()) {
        const QString name = QLatin1String(entry.objectName);
        const QString caption = QString::fromUtf8(entry.caption);
        QMenu *parentMenu = entry.parent ? menus.value(QLatin1String(entry.parent)) : nullptr;
        if (entry.kind == CommandKind::Menu) {
            QMenu *menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            menus.insert(name, menu);
        } else if (entry.kind == CommandKind::Separator) {
            parentMenu->addSeparator()->setObjectName(name);
        } else {
            QAction *action = parentMenu->addAction(caption);
            action->setObjectName(name);
            connect(action, &QAction::triggered, this,
                    [this, &entry] { runCommand(entry.kind, entry.screenId); });
        }
    }
}

void MainWindow::buildToolbar() {
    QToolBar *toolbar = addToolBar(QStringLiteral("Toolbar"));
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar->setIconSize(QSize(18, 18));
    int position = 0;
    for (const ToolbarEntry &entry : toolbarTable()) {
        ++position;
        if (entry.key == nullptr) {
            toolbar->addWidget(toolbarGap(toolbar, position));
            continue;
        }
        const QString key = QLatin1String(entry.key);
        const QString tip = QLatin1String(entry.tooltip);
        QAction *action = toolbar->addAction(images_->picture(entry.picture), tip);
        action->setObjectName(key);
        action->setData(key);
        action->setToolTip(tip);
        if (QWidget *button = toolbar->widgetForAction(action)) {
            button->setObjectName(QStringLiteral("Toolbar1_") + key);
            button->setAccessibleName(tip);
        }
        connect(action, &QAction::triggered, this, [this, key] { toolbarButtonClicked(key); });
    }
}

void MainWindow::runCommand(CommandKind kind, const char *screenId) {
    switch (kind) {
    case CommandKind::NewWindow:
        openNew(QLatin1String(screenId));
        break;
    case CommandKind::Shared:
        openShared(QLatin1String(screenId));
        break;
    case CommandKind::Exit:
        QMainWindow::close();
        break;
    case CommandKind::Help:
        help_.run();
        break;
    case CommandKind::About:
        showAbout();
        break;
    case CommandKind::NewShop:
        newShop();
        break;
    case CommandKind::Receipt:
        printReceipt();
        break;
    case CommandKind::Restore:
        if (!context_.shop.localFile())
            context_.messages->inform(QStringLiteral(
                "The shop on the server is backed up and restored on the server, with pg_dump "
                "and pg_restore; Quillmart's own backups are those of a shop file."));
        else
            emit restoreChosen();
        break;
    case CommandKind::Upgrade:
        if (!context_.shop.localFile())
            context_.messages->inform(QStringLiteral(
                "A shop on a server is upgraded by its administrator, who runs "
                "quillmart-upgrade on it (README, \"Upgrading a shop\"); the tills may not "
                "change the shop's tables."));
        else
            emit upgradeChosen();
        break;
    case CommandKind::Menu:
    case CommandKind::Separator:
        break;
    }
}

void MainWindow::toolbarButtonClicked(const QString &key) {
    for (const ToolbarEntry &entry : toolbarTable())
        if (entry.key != nullptr && key == QLatin1String(entry.key)) {
            runCommand(entry.kind, entry.screenId);
            return;
        }
}

// The selling window in front prints its own customer's receipt.
void MainWindow::printReceipt() {
    QMdiSubWindow *front = mdi_->activeSubWindow();
    QWidget *screen = front ? front->widget() : nullptr;
    if (auto *print =
            screen ? screen->findChild<QAction *>(QStringLiteral("printReceipt")) : nullptr)
        print->trigger();
    else
        context_.messages->inform(QStringLiteral(
            "A receipt is printed from the customer's selling window: bring it to the front "
            "(or open one with Sale > Selling Book) and choose Print Receipt again."));
}

void MainWindow::showAbout() {
    if (about_) { // a second request while it is up only brings it forward
        about_->raise();
        about_->activateWindow();
        return;
    }
    AboutDialog box(this);
    about_ = &box;
    box.exec();
}

void MainWindow::newShop() {
    if (newshop::run(context_.shop, this, *context_.messages, context_.clock)) {
        statusBar_->refresh();
        tillShown_ = false;
    }
}

void MainWindow::setTimeouts(int counterSeconds, int officeSeconds) {
    counterTimeout_ = counterSeconds;
    officeTimeout_ = officeSeconds;
    gate_.setTimeout(counterSeconds); // a till's start never hangs behind another's lock
}

void MainWindow::checkLogin() {
    gate_.check();
    markRefusedCommands();
}

// A command whose screen this login may not open stays where it is and says so: it is marked
// with a lock and its tooltip names the role needed, and choosing it tells why at length, so
// that the keyboard finds it as the mouse does.
void MainWindow::markRefusedCommands() {
    if (commandsMarked_ || !gate_.known())
        return;
    commandsMarked_ = true;
    const QIcon lock = shellpictures::svgIcon(QStringLiteral(":/shell/icons/locked.svg"));
    for (const MenuEntry &entry : menuTable()) {
        if (entry.screenId == nullptr)
            continue;
        const QString mark = gate_.markOf(QLatin1String(entry.screenId));
        auto *action = findChild<QAction *>(QLatin1String(entry.objectName));
        if (action == nullptr || mark.isEmpty())
            continue;
        action->setIcon(lock);
        action->setToolTip(mark);
        if (auto *menu = findChild<QMenu *>(QLatin1String(entry.parent)))
            menu->setToolTipsVisible(true);
    }
    for (const ToolbarEntry &entry : toolbarTable()) {
        if (entry.screenId == nullptr)
            continue;
        const QString mark = gate_.markOf(QLatin1String(entry.screenId));
        if (auto *action = findChild<QAction *>(QLatin1String(entry.key));
            action && !mark.isEmpty())
            action->setToolTip(QLatin1String(entry.tooltip) + QStringLiteral(": ") + mark);
    }
}

ShopContext MainWindow::contextFor(const QString &screenId) const {
    ShopContext context = context_;
    ConnectionSettings settings = context_.shop.settings();
    settings.waitLimitSeconds =
        screenWork(screenId).desk == Desk::Counter ? counterTimeout_ : officeTimeout_;
    context.shop = context_.shop.withSettings(settings);
    return context;
}

QMdiSubWindow *MainWindow::createSubWindow(const QString &screenId) {
    const bool allowed = gate_.allows(screenId);
    markRefusedCommands(); // the login may have become known only now
    if (!allowed)
        return nullptr;
    QWidget *screen = nullptr;
    // A screen whose data cannot load is not opened; the operator reads why.
    if (!policy::reportOnError(*context_.messages,
                               [&] { screen = screens_.create(screenId, contextFor(screenId)); }) ||
        screen == nullptr)
        return nullptr;
    if (screen->objectName().isEmpty())
        screen->setObjectName(screenId);
    showTill();
    QMdiSubWindow *window = mdi_->addSubWindow(screen);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(screen->windowTitle());
    if (!screen->windowIcon().isNull())
        window->setWindowIcon(screen->windowIcon());
    window->resize(window->sizeHint());
    bringForward(window);
    return window;
}

// The till this program sells at, once a screen has reached the shop, when the shop takes
// payment at the counter (a shop without it shows what it always has).
void MainWindow::showTill() {
    if (tillShown_)
        return;
    tillShown_ = true;
    policy::skipOnError([this] {
        Connection connection = context_.shop.connect();
        if (!shop::paymentSettings(connection).paymentsOn)
            return;
        const std::optional<Till> till = shop::thisTill(connection);
        statusBar_->showTill(till ? till->name : QStringLiteral("no till"));
    });
}

void MainWindow::bringForward(QMdiSubWindow *window) {
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    mdi_->setActiveSubWindow(window);
    window->raise();
    if (QWidget *screen = window->widget())
        screen->setFocus();
}

QWidget *MainWindow::openNew(const QString &screenId) {
    QMdiSubWindow *window = createSubWindow(screenId);
    return window ? window->widget() : nullptr;
}

QWidget *MainWindow::openShared(const QString &screenId) {
    if (QMdiSubWindow *window = shared_.value(screenId)) {
        bringForward(window);
        return window->widget();
    }
    QMdiSubWindow *window = createSubWindow(screenId);
    if (window == nullptr)
        return nullptr;
    shared_.insert(screenId, window);
    return window->widget();
}

void MainWindow::close(QWidget *screen) {
    if (screen == nullptr)
        return;
    for (QWidget *w = screen->parentWidget(); w != nullptr; w = w->parentWidget())
        if (auto *window = qobject_cast<QMdiSubWindow *>(w)) {
            window->close();
            return;
        }
    screen->close();
}

bool MainWindow::closeAllScreens() {
    // Each screen runs its own closing logic; one that refuses keeps the frame open.
    for (QMdiSubWindow *window : mdi_->subWindowList())
        if (!window->isHidden() && !window->close())
            return false;
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!closeAllScreens()) {
        event->ignore();
        return;
    }
    savePlacement();
    event->accept();
}

void MainWindow::restorePlacement() {
    const QRect frame = placement::storedFrame(settings_, logicalDpiX(), logicalDpiY());
    move(frame.topLeft());
    resize(frame.size());
    wantedOuterSize_ = frame.size();
}

void MainWindow::savePlacement() {
    if (isMinimized())
        return; // the values of an earlier run stay
    placement::storeFrame(settings_, frameGeometry(), logicalDpiX(), logicalDpiY());
}

bool MainWindow::event(QEvent *event) {
    const bool handled = QMainWindow::event(event);
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)
        fitOuterSize();
    return handled;
}

void MainWindow::fitOuterSize() {
    // The stored size is the outer one; the frame's border is only known once the window
    // system has framed the window, so the inner size is corrected then, once.
    if (!wantedOuterSize_.isValid() || windowHandle() == nullptr)
        return;
    const QMargins margins = windowHandle()->frameMargins();
    if (margins.isNull())
        return;
    const QSize outer = wantedOuterSize_;
    wantedOuterSize_ = QSize();
    if (windowState() == Qt::WindowNoState)
        resize(outer.shrunkBy(margins));
}
