// Laying a receipt out on paper and printing it: A4 and Letter pages break between lines;
// a till roll (80 mm or 58 mm wide) is one strip as long as the receipt.
#pragma once

#include "receipt.h"
#include "slipprint.h"

#include <QString>
#include <QStringList>
#include <vector>

class QPrinter;

namespace receipt {

enum class Paper { Roll80, Roll58, A4, Letter };

// An amount as the receipt prints it: to the cent, in the shop's language, with the currency
// sign where the language puts it ("$24.00", "24,00 €"); a refund with a minus before it.
QString amountText(Money amount, const QString &currency);

// The papers' names as the settings keep them and the dialogs list them ("80 mm roll"), in
// the order of Paper.
const QStringList &paperNames();
QString paperName(Paper paper);
Paper paperFromName(const QString &name); // an unknown name is the 80 mm roll

// Sets the printer's page to this paper (a roll's length is fitted when printing).
void setPaper(QPrinter &printer, Paper paper);
using slip::Placed;

// Where everything goes on the printer's paper. On a roll the page length is set to fit.
std::vector<Placed> layOut(const Receipt &receipt, QPrinter &printer);
// Prints the receipt on the paper, whatever page the printer was left with; returns the number
// of pages.
int print(const Receipt &receipt, QPrinter &printer, Paper paper);

} // namespace receipt
