// The progress window of long reads.
#include "longread.h"

#include "recordsource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

namespace longread {

namespace {

// Reads shorter than this show nothing.
constexpr qint64 kQuietMs = 400;

struct Watch {
    QPointer<QWidget> owner;
    QElapsedTimer clock;
    std::unique_ptr<QProgressDialog> dialog;
    bool reading = false;
};

bool report(Watch &watch, int rowsRead, bool finished) {
    if (finished) {
        watch.dialog.reset();
        watch.reading = false;
        return true;
    }
    if (!watch.reading) {
        watch.reading = true;
        watch.clock.start();
    }
    if (!watch.dialog) {
        if (watch.clock.elapsed() < kQuietMs || watch.owner == nullptr)
            return true;
        watch.dialog = std::make_unique<QProgressDialog>(watch.owner->window());
        watch.dialog->setObjectName(QStringLiteral("dlgLongRead"));
        watch.dialog->setWindowTitle(QStringLiteral("Quillmart"));
        watch.dialog->setCancelButtonText(QStringLiteral("Cancel"));
        watch.dialog->setRange(0, 0); // how many rows there are is not known before the end
        watch.dialog->setWindowModality(Qt::WindowModal);
        watch.dialog->setMinimumDuration(0);
        watch.dialog->show();
    }
    watch.dialog->setLabelText(
        QStringLiteral("Reading rows: %1 read so far.").arg(QLocale::system().toString(rowsRead)));
    QCoreApplication::processEvents(); // lets the window paint and hear the Cancel button
    return !watch.dialog->wasCanceled();
}

} // namespace

void showProgress(RecordSource *source, QWidget *owner) {
    auto watch = std::make_shared<Watch>();
    watch->owner = owner;
    source->setReadProgress(
        [watch](int rowsRead, bool finished) { return report(*watch, rowsRead, finished); });
}

} // namespace longread
