// Sizing a print preview to its toolbar, its Print key, and showing it as a window of its own.
#include "printpreview.h"

#include <QAction>
#include <QGuiApplication>
#include <QLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
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

QPrintPreviewDialog *show(QPrintPreviewDialog *preview, const QString &title, QSize opening,
                          const std::function<void(QPrinter *)> &paint, QPrinter *printer,
                          const QObject *receiver) {
    preview->setWindowTitle(title);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    fit(preview, opening);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested,
                     receiver != nullptr ? receiver : preview, paint);
    if (printer != nullptr)
        QObject::connect(preview, &QObject::destroyed, [printer] { delete printer; });
    preview->show();
    return preview;
}

} // namespace printpreview
