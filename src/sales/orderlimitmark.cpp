// The marking of orders past the shop's limit.
#include "orderlimitmark.h"

#include "conversions.h"

#include <QColor>

void OrderLimitMark::setLimit(std::optional<QDateTime> before, int column) {
    before_ = std::move(before);
    column_ = column;
}

bool OrderLimitMark::marks(const QModelIndex &index) const {
    if (!before_ || !index.isValid())
        return false;
    const QDateTime when = conv::parseMoment(index.siblingAtColumn(column_).data().toString());
    return when.isValid() && when < *before_;
}

void OrderLimitMark::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!marks(index))
        return;
    option->backgroundBrush = QColor(255, 236, 179);
}
