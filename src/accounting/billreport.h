// The bill report: its bands as the shop's printed bill report lays them out, its data read
// from the scratch table tempPay, and the preview window from which the operator prints it.
#pragma once

#include "bandedreport.h"

#include <QString>
#include <QStringList>
#include <memory>

class QPrintPreviewDialog;
class QWidget;
class ShopSession;

namespace billreport {

// The report font as the report names it, a Traditional Chinese Ming face.
QString fontFamily();
// Maps the report font onto the Ming faces installed here (once; layout() does it too).
void installFontSubstitution();

// What the report prints: the rows of tempPay, and the supplier's credit set beside them (one
// sentence a line; none when the supplier has no credit).
struct BillReportData {
    ReportRecords records;
    QStringList credit;
};

// Report header "Bill Report"; column headings Retail, Invoice Date, Invoice No, Fee on every
// page; one detail line per row; an empty page footer. The report footer is empty too unless
// the supplier has credit, whose lines it then prints (lblCredit1, lblCredit2, ...).
ReportLayout layout(const QStringList &credit = {});

// Reads the whole of tempPay afresh on the screen's session: dates as 2001/5/3, fees as
// plain numbers; and the credit of the supplier the rows were listed for beside what they
// come to. Throws DataError when the table cannot be read.
BillReportData readData(const std::shared_ptr<ShopSession> &session);

// Opens the report in a preview window over the parent, not modal; it deletes itself when
// closed.
QPrintPreviewDialog *openPreview(const BillReportData &data, QWidget *parent);

} // namespace billreport
