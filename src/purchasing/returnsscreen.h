// Returns to Suppliers (frmReturns): the copies of deliveries still unsold whose return deadline
// comes within the days asked, the soonest first. The operator sets the copies to send back on
// each line, makes the return note (stock lowered, credit expected recorded), which prints on
// paper or to a PDF file to go with the parcel; the supplier's credit notes are recorded here
// beside the credit expected of it.
#pragma once

#include "shopscreen.h"
#include "supplierreturns.h"

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QSpinBox;
class QTableWidget;
class ShopSession;

class ReturnsScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit ReturnsScreen(const ShopContext &context, QWidget *parent = nullptr);

    void listDeadlines();
    // Makes the return of the copies set on the lines; its number, or 0 when none was made.
    qint64 makeReturnNote(bool preview = true);
    void recordCredit();
    // The return note painted on the device (a printer, a PDF file); the pages painted.
    int printNote(QPagedPaintDevice &device, qint64 returnNo);

    QComboBox *supplierBox() const { return suppliers_; }
    QSpinBox *daysBox() const { return days_; }
    QTableWidget *linesTable() const { return lines_; }
    QLineEdit *creditNumberBox() const { return creditNumber_; }
    QLineEdit *creditAmountBox() const { return creditAmount_; }
    QLabel *creditLabel() const { return credit_; }

private:
    void showCredit();

    std::shared_ptr<ShopSession> session_;
    QComboBox *suppliers_;
    QSpinBox *days_;
    QTableWidget *lines_;
    QLineEdit *creditNumber_;
    QLineEdit *creditAmount_;
    QLabel *credit_;
    std::vector<Returnable> shown_;
};
