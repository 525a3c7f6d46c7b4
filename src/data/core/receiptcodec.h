// A receipt as text: the form in which the server's receipt function takes it, a till keeps it
// in its outbox and a refused one is kept for the back office. Every part of it, amounts as
// their exact decimal text, moments in ISO form, so that it is read back exactly as made.
#pragma once

#include "receiptrecord.h"

#include <QByteArray>

namespace receiptcodec {

QByteArray write(const ReceiptRecord &receipt);
// Throws DataError when the text is not a receipt.
ReceiptRecord read(const QByteArray &text);

} // namespace receiptcodec
