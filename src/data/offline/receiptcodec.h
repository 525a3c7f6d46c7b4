// A receipt as text, the form in which a till keeps it in its outbox and a refused one is kept
// for the back office: every part of it, amounts as their exact decimal text, moments in ISO
// form, so that it is read back exactly as it was made.
#pragma once

#include "receiptrecord.h"

#include <QByteArray>

namespace receiptcodec {

QByteArray write(const ReceiptRecord &receipt);
// Throws DataError when the text is not a receipt.
ReceiptRecord read(const QByteArray &text);

} // namespace receiptcodec
