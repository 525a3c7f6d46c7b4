// Every print preview of the program opens wide enough to show its whole toolbar, Print
// included, and prints with Ctrl+P as well.
#pragma once

#include <QSize>

class QAction;
class QPrintPreviewDialog;

namespace printpreview {

// Opens the preview at `opening`, widened where its toolbar needs more room.
void fit(QPrintPreviewDialog *preview, QSize opening);
// The preview's own Print command; null if it has none.
QAction *printAction(QPrintPreviewDialog *preview);

} // namespace printpreview
