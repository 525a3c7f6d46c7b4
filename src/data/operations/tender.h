// What a payment typed at the counter comes to: the amount it settles, the cash tendered,
// the change, and the rounding when cash settles the rest in a shop that rounds cash; or why
// it is refused.
#pragma once

#include "receipts.h"

#include <variant>

namespace tender {

// The amount as the counter shows it, to the cent (4.50, 0.00, -0.02); an amount with a part
// of a cent keeps every digit, so that nothing shown is rounded away.
QString shown(Money amount);
// What is left to pay in this method: in cash the rest rounded to the cash step.
Money dueIn(MethodKind kind, Money remaining, CashRounding rounding);

struct Taken {
    Money amount;                  // what the payment settles (the cash kept)
    Money tendered;                // handed over
    Money given;                   // change
    std::optional<Money> rounding; // cash settling the rest: cash paid less the exact rest
    bool settles = false;          // the receipt is paid in full with it
};

// A payment of `kind` against `remaining` (more than 0): `amountText` is how much of the
// receipt it pays (empty: all that is due in this method), `tenderedText` what the customer
// hands over in cash (empty: the amount). Refused, with the operator's sentence: a text that
// is not an amount, an amount of 0 or below or above what is due, a negative tender, cash
// less than the amount.
std::variant<Taken, QString> take(MethodKind kind, Money remaining, CashRounding rounding,
                                  const QString &amountText, const QString &tenderedText);

} // namespace tender
