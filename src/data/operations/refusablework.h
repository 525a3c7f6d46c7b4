// Work on the shop's tables in one transaction. Any failure says, by `notChanged` ("The purchase
// order was not changed: %1."), that nothing of the work was stored, and why; in refusable work
// a Refusal (the operator's own mistake, said as it is) reaches the operator by `refused` with
// its sentence at %1.
#pragma once

#include "dataerror.h"
#include "shopoperations.h"
#include "shopsession.h"

#include <QStringList>
#include <utility>

namespace shop {

// A sentence for the operator, shown as it is: the shop's own rules refused the work.
class Refusal : public DataError {
public:
    explicit Refusal(const QString &why) : DataError(why) {}
};

template <typename Work>
void storedWork(ShopSession &session, const QStringList &tables, const QString &notChanged,
                Work &&work) {
    try {
        session.transact(tables, std::forward<Work>(work));
    } catch (const DataError &error) {
        throw notStored(notChanged, error);
    }
}

template <typename Work>
void refusableWork(ShopSession &session, const QStringList &tables, const QString &notChanged,
                   Work &&work, const QString &refused = QStringLiteral("%1")) {
    try {
        session.transact(tables, std::forward<Work>(work));
    } catch (const Refusal &refusal) {
        throw DataError(refused.arg(refusal.description()));
    } catch (const DataError &error) {
        throw notStored(notChanged, error);
    }
}

} // namespace shop
