// The till's receipts not yet paid, to take one up again at the counter: number, opened,
// lines and total; Enter takes up the one chosen.
#pragma once

#include "receipts.h"

#include <QDialog>

class QTableWidget;

class UnpaidDialog : public QDialog {
    Q_OBJECT
public:
    explicit UnpaidDialog(const std::vector<UnpaidReceipt> &receipts, QWidget *parent = nullptr);
    // The identifier of the receipt chosen; empty when none.
    QString chosen() const;
    QTableWidget *table() const { return table_; }

private:
    std::vector<UnpaidReceipt> receipts_;
    QTableWidget *table_;
};
