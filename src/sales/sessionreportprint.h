// A till session's report on paper, on a till roll as receipts print or on A4: the X report
// (the session so far, what each method should hold) or the Z report of its closing (each
// method's expected, counted and difference), with the session's sales, voids, refunds,
// rounding, cash in and out and number of receipts.
#pragma once

#include "receiptprint.h"
#include "tillsessions.h"

class QPrinter;

namespace sessionprint {

struct Printed {
    SessionReport report;
    QString shopName;  // empty: no heading line
    QString currency;  // the sign printed with each amount
    QDateTime printed; // when it is printed: an X report is the session up to then
};

// "Z Report" or "X Report", as the slip's heading and the windows' titles say.
QString title(const SessionReport &report);
// Where everything goes on the printer's paper. On a roll the page length is set to fit.
std::vector<slip::Placed> layOut(const Printed &printed, QPrinter &printer);
// Prints on the paper, whatever page the printer was left with; returns the number of pages.
int print(const Printed &printed, QPrinter &printer, receipt::Paper paper);

} // namespace sessionprint
