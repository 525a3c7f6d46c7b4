// Navigator: four move buttons around the "Record: N" caption.
#include "navigator.h"

#include "cancelled.h"
#include "dataerror.h"
#include "longread.h"
#include "recordsource.h"
#include "screenheading.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

Navigator::Navigator(RecordSource *source, QWidget *parent) : QWidget(parent), source_(source) {
    setObjectName(source->objectName());
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const auto button = [this, layout](const char *name, const QString &symbol, const QString &tip,
                                       void (Navigator::*move)()) {
        auto *b = named<QToolButton>(name, this);
        b->setText(symbol);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        connect(b, &QToolButton::clicked, this, move);
        layout->addWidget(b);
    };
    button("moveFirst", QStringLiteral("|◀"), tr("First record"), &Navigator::first);
    button("movePrevious", QStringLiteral("◀"), tr("Previous record"), &Navigator::previous);
    caption_ = named<QLabel>("caption", this);
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::StyledPanel);
    caption_->setMinimumWidth(120);
    layout->addWidget(caption_, 1);
    button("moveNext", QStringLiteral("▶"), tr("Next record"), &Navigator::next);
    button("moveLast", QStringLiteral("▶|"), tr("Last record"), &Navigator::last);

    connect(source_, &RecordSource::moved, this, &Navigator::updateCaption);
    longread::showProgress(source_, this);
    updateCaption();
}

QString Navigator::caption() const {
    return caption_->text();
}

void Navigator::updateCaption() {
    caption_->setText(QStringLiteral("Record: ") + QString::number(source_->position()));
}

template <typename Move> void Navigator::guarded(Move move) {
    try {
        move();
    } catch (const Cancelled &) {
        // The operator stopped a long read: the current row stays where it was.
    } catch (const DataError &error) {
        source_->reportError(error.description());
    }
}

// Before the first row the first stays current; past the last row the last stays. Only the
// last-row move needs the whole result read; the others look at the rows read so far.
void Navigator::first() {
    guarded([this] {
        if (source_->loadedCount() > 0)
            source_->moveFirst();
    });
}

void Navigator::previous() {
    guarded([this] {
        if (source_->loadedCount() == 0)
            return;
        if (source_->currentRow() == 0)
            return source_->moveFirst(); // still a move: a pending row is saved
        source_->movePrevious();
        if (source_->isBof())
            source_->moveFirst();
    });
}

void Navigator::next() {
    guarded([this] {
        if (source_->loadedCount() == 0)
            return;
        const bool onLastRow = source_->currentRow() == source_->loadedCount() - 1;
        if (onLastRow && !source_->canFetchMore())
            return source_->moveLast(); // still a move: a new row added last is saved
        source_->moveNext();
        if (source_->isEof())
            source_->moveLast();
    });
}

void Navigator::last() {
    guarded([this] {
        if (source_->loadedCount() > 0)
            source_->moveLast();
    });
}
