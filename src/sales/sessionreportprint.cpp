// The rows of a session's X or Z report.
#include "sessionreportprint.h"

#include "conversions.h"

#include <QPrinter>

namespace sessionprint {

namespace {

class Rows {
public:
    Rows(const Printed &printed, QPrinter &printer) : printed_(printed), b_(printer) {}

    std::vector<slip::Group> build() {
        heading();
        totals();
        for (const MethodFigures &method : report().methods)
            methodRows(method);
        footing();
        return b_.groups();
    }

private:
    const SessionReport &report() const { return printed_.report; }
    QString amount(Money value) const { return receipt::amountText(value, printed_.currency); }
    void line(const QString &caption, Money value, bool bold = false) {
        b_.row(caption, amount(value), bold);
    }

    void heading() {
        const TillSession &session = report().session;
        if (!printed_.shopName.trimmed().isEmpty())
            b_.row(printed_.shopName, {}, true, true, Qt::AlignHCenter);
        b_.row(title(report()), {}, true, true, Qt::AlignHCenter);
        b_.row(session.tillName, QStringLiteral("Session %1").arg(session.id));
        b_.row(QStringLiteral("Opened %1").arg(conv::momentText(session.opened)), session.openedBy);
        if (report().stored)
            b_.row(QStringLiteral("Closed %1").arg(conv::momentText(session.closed)),
                   session.closedBy);
        else
            b_.row(QStringLiteral("So far, at %1").arg(conv::momentText(printed_.printed)));
        const QDate last = report().stored ? session.closed.date() : printed_.printed.date();
        if (session.opened.date() != last)
            b_.row(QStringLiteral("This session spans %1 days, from %2 to %3.")
                       .arg(session.opened.date().daysTo(last) + 1)
                       .arg(conv::dateText(session.opened.date()), conv::dateText(last)),
                   {}, true);
        b_.rule();
        b_.endGroup();
    }

    void totals() {
        const SessionReport &r = report();
        b_.row(QStringLiteral("Receipts"), QString::number(r.receipts));
        line(QStringLiteral("Sales"), r.sales);
        line(QStringLiteral("Voids (%1 %2)")
                 .arg(r.voids)
                 .arg(r.voids == 1 ? QStringLiteral("line") : QStringLiteral("lines")),
             Money::fromUnits(-r.voided.units()));
        line(QStringLiteral("Refunds (%1)").arg(r.refunds), Money::fromUnits(-r.refunded.units()));
        line(QStringLiteral("Net sales"), r.net(), true);
        line(QStringLiteral("Cash rounding"), r.rounding);
        line(QStringLiteral("Cash in"), r.cashIn);
        line(QStringLiteral("Cash out"), Money::fromUnits(-r.cashOut.units()));
        if (r.hasDeposits) { // customers' money towards their orders: not sales
            line(QStringLiteral("Deposits taken"), r.depositsTaken);
            line(QStringLiteral("Deposits used"), Money::fromUnits(-r.depositsUsed.units()));
            line(QStringLiteral("Deposits given back"),
                 Money::fromUnits(-r.depositsRefunded.units()));
        }
        b_.rule();
        b_.endGroup();
    }

    void methodRows(const MethodFigures &method) {
        b_.row(method.name, {}, true);
        if (method.kind == MethodKind::Cash)
            line(QStringLiteral("   Float"), report().session.openingFloat);
        line(QStringLiteral("   Taken"), method.taken);
        line(QStringLiteral("   Refunded"), Money::fromUnits(-method.refunded.units()));
        if (method.deposits != Money())
            line(QStringLiteral("   Deposits"), method.deposits);
        line(QStringLiteral("   Expected"), method.expected, true);
        if (method.counted) {
            line(QStringLiteral("   Counted"), *method.counted);
            line(QStringLiteral("   Difference"), method.difference, true);
        }
        b_.endGroup();
    }

    void footing() {
        b_.rule();
        if (report().stored) {
            if (report().xReports.empty())
                b_.row(QStringLiteral("No X report was opened in this session."));
            for (const QDateTime &at : report().xReports)
                b_.row(QStringLiteral("X report opened %1").arg(conv::momentText(at)));
        }
        b_.row(QStringLiteral("Printed %1").arg(conv::momentText(printed_.printed)));
        b_.endGroup();
    }

    const Printed &printed_;
    slip::Builder b_;
};

} // namespace

QString title(const SessionReport &report) {
    return report.stored ? QStringLiteral("Z Report") : QStringLiteral("X Report");
}

std::vector<slip::Placed> layOut(const Printed &printed, QPrinter &printer) {
    return slip::layOut(Rows(printed, printer).build(), printer);
}

int print(const Printed &printed, QPrinter &printer, receipt::Paper paper) {
    // The print dialog puts its own page size on the printer: the report's paper is set again.
    receipt::setPaper(printer, paper);
    return slip::paint(layOut(printed, printer), printer);
}

} // namespace sessionprint
