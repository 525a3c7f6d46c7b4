// The receipt's rows, groups and paper.
#include "receiptprint.h"

#include "conversions.h"

#include <QLocale>
#include <QPrinter>
#include <cmath>

namespace receipt {

namespace {

constexpr double rollMarginMm = 3;
constexpr double pageMarginMm = 15;

std::vector<slip::Group> build(const Receipt &receipt, QPrinter &printer) {
    slip::Builder b(printer);
    if (!receipt.shopName.trimmed().isEmpty())
        b.row(receipt.shopName, {}, true, true, Qt::AlignHCenter);
    b.row(conv::dateText(receipt.when.date()) + QStringLiteral("  ") +
              conv::timeText(receipt.when.time()),
          {}, false, false, Qt::AlignHCenter);
    if (!receipt.number.isEmpty())
        b.row(QStringLiteral("Receipt %1").arg(receipt.number), receipt.till);
    b.rule();
    b.endGroup();
    bool anyOffer = false;
    for (const ReceiptLine &line : receipt.lines) {
        b.row(line.title);
        b.row(QStringLiteral("   %1 x %2%3")
                  .arg(QString::number(line.quantity), amountText(line.price, receipt.currency),
                       line.onOffer ? QStringLiteral(" *") : QString()),
              amountText(line.subtotal, receipt.currency));
        b.endGroup();
        anyOffer = anyOffer || line.onOffer;
    }
    b.rule();
    b.row(QStringLiteral("TOTAL"), amountText(receipt.total, receipt.currency), true);
    if (receipt.rounding)
        b.row(QStringLiteral("Cash rounding"), amountText(*receipt.rounding, receipt.currency));
    for (const ReceiptPayment &payment : receipt.payments) {
        b.row(payment.method, amountText(payment.tendered, receipt.currency));
        if (payment.given != Money())
            b.row(QStringLiteral("Change"), amountText(payment.given, receipt.currency), true);
    }
    if (anyOffer)
        b.row(QStringLiteral("* offer price"));
    b.endGroup();
    if (!receipt.servedBy.trimmed().isEmpty()) {
        b.gap();
        b.row(QStringLiteral("Served by: %1").arg(receipt.servedBy.trimmed()));
    }
    if (!receipt.footer.trimmed().isEmpty()) {
        b.gap();
        b.row(receipt.footer, {}, false, false, Qt::AlignHCenter);
    }
    return b.groups();
}

} // namespace

QString amountText(Money amount, const QString &currency) {
    const Money cents = amount.roundedToCents();
    const QLocale locale;
    const double magnitude = std::fabs(cents.toDouble());
    // A system without a language of its own (C, POSIX) has no place for the sign: before the
    // amount, as most tills print it.
    const QString shown = locale.language() == QLocale::C
                              ? currency + locale.toString(magnitude, 'f', 2)
                              : locale.toCurrencyString(magnitude, currency, 2);
    return cents < Money() ? QLatin1Char('-') + shown : shown;
}

const QStringList &paperNames() {
    static const QStringList names{QStringLiteral("80 mm roll"), QStringLiteral("58 mm roll"),
                                   QStringLiteral("A4"), QStringLiteral("Letter")};
    return names;
}

QString paperName(Paper paper) {
    return paperNames().value(static_cast<qsizetype>(paper));
}

Paper paperFromName(const QString &name) {
    const qsizetype at = paperNames().indexOf(name);
    return at < 0 ? Paper::Roll80 : static_cast<Paper>(at);
}

void setPaper(QPrinter &printer, Paper paper) {
    printer.setPageOrientation(QPageLayout::Portrait);
    if (paper == Paper::A4 || paper == Paper::Letter) {
        printer.setPageSize(QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter));
        printer.setPageMargins(QMarginsF(pageMarginMm, pageMarginMm, pageMarginMm, pageMarginMm),
                               QPageLayout::Millimeter);
        return;
    }
    const double width = paper == Paper::Roll80 ? 80 : 58;
    printer.setPageSize(QPageSize(QSizeF(width, 200), QPageSize::Millimeter, paperName(paper),
                                  QPageSize::ExactMatch));
    printer.setPageMargins(QMarginsF(rollMarginMm, rollMarginMm, rollMarginMm, rollMarginMm),
                           QPageLayout::Millimeter);
}

std::vector<Placed> layOut(const Receipt &receipt, QPrinter &printer) {
    return slip::layOut(build(receipt, printer), printer);
}

int print(const Receipt &receipt, QPrinter &printer, Paper paper) {
    // The print dialog puts its own page size on the printer (Letter, for Print to File):
    // the receipt's paper is set again, so that paper and PDF are the paper chosen.
    setPaper(printer, paper);
    return slip::paint(layOut(receipt, printer), printer);
}

} // namespace receipt
