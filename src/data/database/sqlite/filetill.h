// SQLite's dialect, the shop file's: the program's statements are written in its form; a sale
// is two statements. Its till work is the file's own statements, defined beside what each
// stores: a receipt (filereceipts.cpp), a till's sessions (filesessions.cpp), refunds and voids
// (filerefunds.cpp), the receipts a till made while the shop could not be reached
// (filelatereceipts.cpp). The file is one till: its first.
#pragma once

#include "dataerror.h"
#include "receiptrecord.h"
#include "sqldialect.h"
#include "tillrecords.h"

#include <optional>
#include <utility>

class Connection;

namespace filetill {

class FileDialect : public SqlDialect {
public:
    FileDialect();
    const std::vector<SaleStatement> &bookSale() const override;
    const std::vector<EngineSql> &topSellers() const override;
    StoredReceipt storeReceipt(Connection &connection, const ReceiptRecord &receipt) const override;
    qint64 openSession(Connection &connection, const SessionOpening &opening) const override;
    void moveCash(Connection &connection, const CashMovementRecord &movement) const override;
    void closeSession(Connection &connection, const SessionClosing &closing) const override;
    StoredRefund storeRefund(Connection &connection, const RefundRecord &refund) const override;
    void storeVoid(Connection &connection, const VoidRecord &voidRecord) const override;
    void receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber,
                         const QDateTime &at) const override;
    void receiptRefused(Connection &connection, const QString &receipt, const QString &reason,
                        const QString &made, const QDateTime &at) const override;
    void recordXReport(Connection &connection, qint64 session, const QDateTime &at) const override;
    const EngineSql &sessionTotals() const override;
    const EngineSql &sessionMethods() const override;
    QString login(Connection &connection) const override;
    qint64 addOrderedTitle(Connection &connection, const OrderedTitle &title) const override;
    const EngineSql &thisTill() const override;
    QVariantList wordValues(const QStringList &words) const override;

protected:
    QString wordCondition(const QStringList &columns, int first, int words) const override;
};

// The figures of a session (?1) as the file computes them: the X report's, and the Z report's
// at its closing. The totals, one row: receipts, sales, voids, voided, refunds, refunded,
// rounding, cash in, cash out. The methods, a row each: method, name, kind, taken, refunded,
// expected.
const QString &totalsSql();
const QString &methodsSql();

// Shared by the file's till work.
DataError refused(const QString &why);
qint64 thisTill(Connection &connection);
bool paymentsOn(Connection &connection);
std::optional<qint64> openSessionOf(Connection &connection, qint64 till);
// Throws unless the session is this till's and open.
void requireOpenSession(Connection &connection, qint64 session);
// What a receipt's payments settle (less its cash rounding) and what its lines come to: those
// not voided, in a shop with voids.
std::pair<Money, Money> settledAndDue(Connection &connection, const QString &receipt, bool voids);

} // namespace filetill
