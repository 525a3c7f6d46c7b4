// Work on the shop's tables in one transaction that the shop's own rules may refuse. A refusal
// (of the type `Refused`: the operator's own mistake, said as it is) reaches the operator as it
// was said; any other failure says, by `notChanged` ("The purchase order was not changed: %1."),
// that nothing of the work was stored, and why.
#pragma once

#include "dataerror.h"
#include "shopoperations.h"
#include "shopsession.h"

#include <QStringList>
#include <utility>

namespace shop {

template <typename Refused, typename Work>
void refusableWork(ShopSession &session, const QStringList &tables, const QString &notChanged,
                   Work &&work) {
    try {
        session.transact(tables, std::forward<Work>(work));
    } catch (const Refused &refusal) {
        throw DataError(refusal.description());
    } catch (const DataError &error) {
        throw notStored(notChanged, error);
    }
}

} // namespace shop
