// The shell tests' main window and fake screens.
#include "shellfixture.h"

#include "shopmdiarea.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

FakeScreen::FakeScreen(const QString &title, bool refuses) : refusesClose(refuses) {
    setWindowTitle(title);
}

void FakeScreen::closeEvent(QCloseEvent *event) {
    if (refusesClose)
        event->ignore();
    else
        event->accept();
}

ShellFixture::ShellFixture()
    : settings_(std::make_unique<QSettings>(dir_.filePath("Quillmart.ini"), QSettings::IniFormat)) {
}

std::unique_ptr<MainWindow> ShellFixture::makeWindow(const QString &helpFile) {
    return std::make_unique<MainWindow>(shop.context, *settings_, helpFile,
                                        [this](const QString &path) {
                                            viewerCalls.append(path);
                                            return viewerResult;
                                        });
}

void ShellFixture::addFakeScreens(MainWindow &window, const QStringList &ids) {
    for (const QString &id : ids)
        window.screens().add(id, [this, id](const ShopContext &) {
            ++builds;
            return new FakeScreen(id + " title");
        });
}

int openWindowCount(MainWindow &window) {
    int count = 0;
    for (QMdiSubWindow *sub : window.mdiArea()->subWindowList())
        count += sub->isHidden() ? 0 : 1;
    return count;
}
