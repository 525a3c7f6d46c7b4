// Marks the lines of a list of customer orders whose date (in one column) is before a limit:
// those waiting longer than the shop allows, shown on a pale amber ground (not bold, which
// would cut the columns sized to their plain text short).
#pragma once

#include <QDateTime>
#include <QStyledItemDelegate>

#include <optional>

class OrderLimitMark : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // Lines whose `column` holds a moment before `before` are marked; none without a limit.
    void setLimit(std::optional<QDateTime> before, int column);
    bool marks(const QModelIndex &index) const;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    std::optional<QDateTime> before_;
    int column_ = 0;
};
