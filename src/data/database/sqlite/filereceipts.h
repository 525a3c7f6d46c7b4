// A receipt stored in a shop file: the statements the file's dialect runs for storeReceipt.
#pragma once

#include "receiptrecord.h"

class Connection;

namespace filereceipts {

// SqlDialect::storeReceipt on a shop file (the file is one till: its first).
StoredReceipt store(Connection &connection, const ReceiptRecord &receipt);

} // namespace filereceipts
