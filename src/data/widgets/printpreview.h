// Every print preview of the program opens wide enough to show its whole toolbar, Print
// included, and prints with Ctrl+P as well.
#pragma once

#include <QSize>

#include <functional>

class QAction;
class QObject;
class QPrintPreviewDialog;
class QPrinter;
class QString;

namespace printpreview {

// Opens the preview at `opening`, widened where its toolbar needs more room.
void fit(QPrintPreviewDialog *preview, QSize opening);
// The preview's own Print command; null if it has none.
QAction *printAction(QPrintPreviewDialog *preview);
// Shows `preview` fitted to `opening`, not modal, deleted on closing and `printer` (if any) after
// it. `paint` draws its pages while `receiver` lives (the preview itself when null).
QPrintPreviewDialog *show(QPrintPreviewDialog *preview, const QString &title, QSize opening,
                          const std::function<void(QPrinter *)> &paint, QPrinter *printer = nullptr,
                          const QObject *receiver = nullptr);

} // namespace printpreview
