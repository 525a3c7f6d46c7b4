// Receipts a till made while the shop could not be reached, as a shop file records their
// arrival and their refusal. A file is one till, its first; each is written once by the
// receipt's key, so that a receipt sent again changes nothing.
#include "filetill.h"

#include "connection.h"
#include "conversions.h"

namespace filetill {

void FileDialect::receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber,
                                  const QDateTime &at) const {
    if (!connection
             .scalar(QStringLiteral("SELECT 1 FROM [receipts] WHERE [Receipt] = ?1"), {receipt})
             .isValid())
        throw refused(QStringLiteral("the receipt %1 is not a stored receipt").arg(receipt));
    connection.write(
        QStringLiteral("INSERT INTO [receivedreceipts] ([Receipt], [Till], [TillNumber], "
                       "[Received]) VALUES (?1, ?2, ?3, ?4) ON CONFLICT DO NOTHING"),
        {receipt, filetill::thisTill(connection), tillNumber, conv::isoMoment(at)});
}

void FileDialect::receiptRefused(Connection &connection, const QString &receipt,
                                 const QString &reason, const QString &made,
                                 const QDateTime &at) const {
    connection.write(
        QStringLiteral("INSERT INTO [refusedreceipts] ([Receipt], [Till], [Reason], [Refused], "
                       "[Made]) VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT DO NOTHING"),
        {receipt, filetill::thisTill(connection), reason, conv::isoMoment(at), made});
}

} // namespace filetill
