// The counter's receipts: the shop's payment settings, the till this program sells at, the
// payment methods in use, the one operation that stores a receipt, and the till's receipts
// not yet paid. Each throws DataError.
#pragma once

#include "receiptrecord.h"

#include <optional>
#include <vector>

class Connection;
class ShopSession;

enum class CashRounding { None, FiveCents, TenCents };

struct PaymentSettings {
    bool paymentsOn = false; // off in a shop before version 3 and until switched on
    CashRounding rounding = CashRounding::None;
};

struct Till {
    qint64 id = 0;
    QString name;
    QString prefix;
};

struct PaymentMethod {
    qint64 id = 0;
    QString name;
    MethodKind kind = MethodKind::Other;
};

struct UnpaidReceipt {
    QString id;
    QString readable;
    QDateTime opened;
    int lines = 0;
    Money total;
};

namespace shop {

// The shop's version that brings tills, receipts and payments.
inline constexpr int receiptsVersion = 3;

PaymentSettings paymentSettings(Connection &connection);
// A payment method's kind as the shop stores it ("cash", "card", anything else).
MethodKind kindOf(const QString &kind);
// What a new shop takes payment with: cash and card, the settings' rows (payments off, no
// rounding) and, for a shop file (`oneTill`), its till. Rows already there stay.
void addCounterDefaults(Connection &connection, bool oneTill);
// Switches payments at the counter on or off (a shop of version 3 or later).
void setPaymentsOn(Connection &connection, bool on);
// The till this connection sells at; none when its login is registered at no till.
std::optional<Till> thisTill(Connection &connection);
// The methods a new payment may use: cash first, then card, then the others by name.
std::vector<PaymentMethod> paymentMethods(Connection &connection);

// Stores the receipt in one transaction (SqlDialect::storeReceipt): the parts stored before
// stay as they are, the new ones go in. The DataError says what was not stored and why.
StoredReceipt storeReceipt(ShopSession &session, const ReceiptRecord &receipt);

// The till's receipts with lines and not paid in full, oldest first.
std::vector<UnpaidReceipt> unpaidReceipts(Connection &connection, qint64 till);
// A stored receipt, as its till made it, and what the shop holds of it.
std::pair<ReceiptRecord, StoredReceipt> readReceipt(Connection &connection, const QString &id);

} // namespace shop
