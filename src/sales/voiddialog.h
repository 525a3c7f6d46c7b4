// Voiding at the counter what was rung up by mistake on a receipt not yet paid: one line, or
// the whole receipt, with the reason. The copies go back into stock and the line's sale is
// offset; who, when and why are kept.
#pragma once

#include "tillrecords.h"

#include <QDialog>
#include <functional>
#include <set>

class MessageBoxes;
class QLineEdit;
class QListWidget;
struct ReceiptLineRecord;

class VoidDialog : public QDialog {
    Q_OBJECT
public:
    // Voids the line (0: the whole receipt) for the reason; false when it was not voided (the
    // operator was told why).
    using Store = std::function<bool(int line, const QString &reason)>;

    VoidDialog(const QString &readable, const std::vector<ReceiptLineRecord> &lines,
               const std::set<int> &voided, MessageBoxes &messages, Store store,
               QWidget *parent = nullptr);

    // "Void": checks the choice and the reason and voids; true when it was voided.
    bool voidChosen();
    // Chooses the row: 0 is the whole receipt, 1 onward the lines not voided, in order.
    void choose(int row);
    QListWidget *choices() const { return choices_; }
    QLineEdit *reasonBox() const { return reason_; }

private:
    MessageBoxes &messages_;
    Store store_;
    std::vector<int> lineOfRow_; // the receipt's line at each row; 0 for the whole receipt
    QListWidget *choices_;
    QLineEdit *reason_;
};
