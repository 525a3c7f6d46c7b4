// Sizing a print preview to its toolbar, and its Print key.
#include "printpreview.h"

#include <QAction>
#include <QGuiApplication>
#include <QLayout>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QToolBar>

namespace printpreview {

QAction *printAction(QPrintPreviewDialog *preview) {
    // Qt's preview names its commands only by their captions.
    for (QAction *action : preview->findChildren<QAction *>())
        if (action->text() == QLatin1String("Print"))
            return action;
    return nullptr;
}

void fit(QPrintPreviewDialog *preview, QSize opening) {
    if (QAction *print = printAction(preview)) {
        print->setShortcut(QKeySequence::Print);
        print->setToolTip(
            QStringLiteral("Print (%1)").arg(print->shortcut().toString(QKeySequence::NativeText)));
    }
    // A toolbar narrower than its buttons hides the last of them, Print among them, behind
    // its extension arrow.
    int width = opening.width();
    if (const auto *toolbar = preview->findChild<QToolBar *>()) {
        const QMargins margins =
            preview->layout() != nullptr ? preview->layout()->contentsMargins() : QMargins();
        width = std::max(width, toolbar->sizeHint().width() + margins.left() + margins.right());
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        width = std::min(width, screen->availableGeometry().width());
    preview->resize(width, opening.height());
}

} // namespace printpreview
