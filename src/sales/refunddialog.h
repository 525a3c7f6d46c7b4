// Giving money back at the counter. With a receipt: its number shows its lines, each with
// the copies still to refund (sold less what earlier refunds and voids took back); the operator
// sets the copies to refund of each, at the price paid. Without a receipt: the title by its
// ISBN, at its counter price, which may be lowered but not raised. Either way a reason from
// the shop's list, the copies marked damaged that do not go back into stock and, when the
// counter takes payment, the method the money goes out by. Once given, the amount shows large.
#pragma once

#include "receipts.h"
#include "refunds.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class Clock;
class MessageBoxes;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class RecordSource;
class ShopSession;

class RefundDialog : public QDialog {
    Q_OBJECT
public:
    // Stores the refund; the amount given back, or none when it was not stored (the operator
    // was told why).
    using Store = std::function<std::optional<Money>(const RefundRecord &)>;
    // Finds the receipt typed, with what is left to refund of it; throws DataError, saying
    // why, when there is none to refund.
    using Find = std::function<RefundableReceipt(const QString &readable)>;

    // `methods` empty: the counter takes no payment, and no money goes out.
    RefundDialog(std::shared_ptr<ShopSession> session, std::vector<RefundReason> reasons,
                 std::vector<PaymentMethod> methods, MessageBoxes &messages, const Clock &clock,
                 Store store, QWidget *parent = nullptr);
    ~RefundDialog() override;

    // Receipts found otherwise than in the shop (the till's own while the server is away).
    void setFinder(Find find) { find_ = std::move(find); }
    // Refunds by receipt only (the tab without one is off), `why` on its tab.
    void setByReceiptOnly(const QString &why);

    // With a receipt: shows the lines of the receipt whose number is typed.
    bool showReceipt();
    // Without a receipt: the title of the ISBN typed, `copies` of it.
    bool findTitle();
    void startByIsbn(const QString &isbn, qint64 copies);
    // "Refund": checks what was typed and stores the refund; true when it was given.
    bool refund();

    bool byReceipt() const;
    QLineEdit *receiptBox() const { return receiptNumber_; }
    QTableWidget *linesTable() const { return lines_; }
    // The copies to refund of the receipt's line at this row, and whether they are damaged.
    void setLineRefund(int row, qint64 copies, bool damaged = false);
    QLineEdit *isbnBox() const { return isbn_; }
    QLineEdit *priceBox() const { return price_; }
    QLineEdit *copiesBox() const { return copies_; }
    QCheckBox *damagedBox() const { return damaged_; }
    QComboBox *reasonBox() const { return reason_; }
    QComboBox *methodBox() const { return method_; }
    QString givenText() const;

private:
    QWidget *buildReceiptPage();
    QWidget *buildIsbnPage();
    std::optional<std::vector<RefundLineRecord>> receiptLines();
    std::optional<RefundLineRecord> isbnLine();
    void showAmount();
    // What the copies chosen of the receipt's lines come to.
    Money receiptSum() const;
    QCheckBox *damagedAt(int row) const;

    std::vector<RefundReason> reasons_;
    std::vector<PaymentMethod> methods_;
    MessageBoxes &messages_;
    const Clock &clock_;
    Store store_;
    Find find_;
    RecordSource *titles_;
    QString id_; // the refund's identifier, the same when it is sent again
    std::optional<RefundableReceipt> receipt_;
    struct Title {
        qint64 bookNo = 0;
        QString isbn;
        QString title;
        Money price; // the counter price: the most a copy gives back
    };
    std::optional<Title> title_;
    bool given_ = false;

    QTabWidget *tabs_ = nullptr;
    QLineEdit *receiptNumber_ = nullptr;
    QTableWidget *lines_ = nullptr;
    QLineEdit *isbn_ = nullptr;
    QLabel *titleShown_ = nullptr;
    QLabel *priceLimit_ = nullptr;
    QLineEdit *price_ = nullptr;
    QLineEdit *copies_ = nullptr;
    QCheckBox *damaged_ = nullptr;
    QComboBox *reason_ = nullptr;
    QComboBox *method_ = nullptr;
    QLabel *amount_ = nullptr;
    QPushButton *refund_ = nullptr;
};
