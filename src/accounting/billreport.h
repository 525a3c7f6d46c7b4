// The bill report: its bands as the shop's printed bill report lays them out, its data read
// from the scratch table tempPay, and the preview window from which the operator prints it.
#pragma once

#include "bandedreport.h"

#include <QString>
#include <memory>

class QPrintPreviewDialog;
class QWidget;
class ShopSession;

namespace billreport {

// The report font as the report names it, a Traditional Chinese Ming face.
QString fontFamily();
// Maps the report font onto the Ming faces installed here (once; layout() does it too).
void installFontSubstitution();

// Report header "Bill Report"; column headings Retail, Invoice Date, Invoice No, Fee on every
// page; one detail line per row; empty page and report footers.
ReportLayout layout();

// Reads the whole of tempPay afresh on the screen's session: dates as 2001/5/3, fees as
// plain numbers. Throws DataError when the table cannot be read.
ReportRecords readData(const std::shared_ptr<ShopSession> &session);

// Opens the report of these rows in a preview window over the parent, not modal; it deletes
// itself when closed.
QPrintPreviewDialog *openPreview(const ReportRecords &records, QWidget *parent);

} // namespace billreport
