// The supplier's credit beside its bills.
#include "billcredit.h"

#include "connection.h"
#include "recordsource.h"
#include "supplierreturns.h"

namespace billcredit {

QStringList beside(Connection &connection, const QString &supplier, const Money &listed,
                   Bills bills) {
    const QString name = supplier.trimmed();
    if (name.isEmpty() || connection.columnsOf(QStringLiteral("creditnotes")).empty())
        return {};
    const SupplierCredit credit = shop::supplierCredit(connection, name);
    if (credit.noted == Money() && credit.expected == Money())
        return {};
    const QString after = Money::fromUnits(listed.units() - credit.noted.units()).text();
    return {QStringLiteral("Bills listed: %1.").arg(listed.text()),
            QStringLiteral("Credit notes of %1: %2 (credit expected from returns: %3).")
                .arg(name, credit.noted.text(), credit.expected.text()),
            bills == Bills::Open ? QStringLiteral("To pay after credit: %1.").arg(after)
                                 : QStringLiteral("Paid, less credit: %1.").arg(after)};
}

Money listedFees(RecordSource &listing, const QString &feeField) {
    listing.fetchAll();
    const int fee = listing.fieldIndex(feeField);
    Money total;
    if (fee < 0)
        return total;
    for (int row = 0; row < listing.loadedCount(); ++row)
        total += Money::orZero(listing.valueAt(row, fee));
    return total;
}

} // namespace billcredit
