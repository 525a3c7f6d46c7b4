// The bill report's layout, its data from tempPay, and its preview window.
#include "billreport.h"

#include "billcredit.h"
#include "printpreview.h"
#include "recordsource.h"
#include "screenheading.h"
#include "shopsession.h"
#include "shoptables.h"

#include <QFont>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

namespace billreport {

namespace {

ReportItem label(const QString &name, const QString &caption, QRect rect, double pointSize,
                 int weight) {
    return {ReportItem::Kind::Label, name, caption, rect, pointSize, weight};
}

ReportItem field(const QString &name, const QString &fieldName, int left) {
    return {ReportItem::Kind::Field, name, fieldName, QRect(left, 0, 1440, 240), 9, 400};
}

} // namespace

QString fontFamily() {
    return QStringLiteral("新細明體");
}

void installFontSubstitution() {
    static const bool installed = [] {
        // The shop's report font is not installed here; these Ming faces carry the same
        // Traditional Chinese characters, so Chinese supplier names still print.
        QFont::insertSubstitutions(
            fontFamily(), {QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                           QStringLiteral("AR PL UMing HK"), QStringLiteral("Noto Serif CJK TC"),
                           QStringLiteral("Noto Sans CJK TC")});
        return true;
    }();
    (void)installed;
}

ReportLayout layout(const QStringList &credit) {
    installFontSubstitution();
    ReportLayout report;
    report.fontFamily = fontFamily();
    report.margin = 1440;

    report.reportHeader.height = 567;
    report.reportHeader.items = {label(QStringLiteral("Label5"), QStringLiteral("Bill Report"),
                                       QRect(0, 0, 3708, 567), 16.5, 700)};

    report.pageHeader.height = 609;
    report.pageHeader.items = {label(QStringLiteral("Label1"), QStringLiteral("Retail"),
                                     QRect(0, 0, 1704, 564), 10.5, 700),
                               label(QStringLiteral("Label2"), QStringLiteral("Invoice Date"),
                                     QRect(1701, 0, 1440, 567), 10.5, 700),
                               label(QStringLiteral("Label3"), QStringLiteral("Invoice No"),
                                     QRect(3402, 0, 1440, 567), 10.5, 700),
                               label(QStringLiteral("Label4"), QStringLiteral("Fee"),
                                     QRect(5102, 0, 1440, 567), 10.5, 700)};

    report.detail.height = 342;
    using namespace tables;
    report.detail.items = {field(QStringLiteral("Text1"), tempPay::RetName, 0),
                           field(QStringLiteral("Text2"), tempPay::InvoiceDate, 1701),
                           field(QStringLiteral("Text3"), tempPay::InvoiceNo, 3402),
                           field(QStringLiteral("Text4"), tempPay::Fee, 5102)};

    report.pageFooter.height = 360;
    report.reportFooter.height = 360;
    // The credit under the last bill, a line of the detail's type each, across the page.
    constexpr int gap = 120, line = 240;
    for (int i = 0; i < credit.size(); ++i)
        report.reportFooter.items.append(label(QStringLiteral("lblCredit%1").arg(i + 1), credit[i],
                                               QRect(0, gap + i * line, 9000, line), 9, 400));
    if (!credit.isEmpty())
        report.reportFooter.height = std::max(360, gap + int(credit.size()) * line);
    return report;
}

BillReportData readData(const std::shared_ptr<ShopSession> &session) {
    using namespace tables;
    RecordSource data(QStringLiteral("Command1"), session);
    data.open(selectAll(tempPay::table));
    BillReportData report;
    ReportRecords &records = report.records;
    for (int column = 0; column < data.fieldCount(); ++column)
        records.fields << data.field(column).name;
    for (int row = 0; row < data.recordCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < data.fieldCount(); ++column)
            texts << data.textAt(row, column);
        records.rows << texts;
    }
    // Every row carries the name of the supplier it was listed for.
    if (!records.rows.isEmpty())
        report.credit = billcredit::beside(
            session->connection(), records.text(0, QLatin1String(tempPay::RetName.name)),
            billcredit::listedFees(data, QLatin1String(tempPay::Fee.name)),
            billcredit::Bills::Open);
    return report;
}

QPrintPreviewDialog *openPreview(const BillReportData &data, QWidget *parent) {
    // The rows are those tempPay held when the preview opened: printing from this window
    // prints what it shows, whatever later listings put into tempPay.
    return printpreview::show(named<QPrintPreviewDialog>("DataReportBill", parent),
                              QStringLiteral("DataReport1"), QSize(820, 680),
                              [data](QPrinter *printer) {
                                  bandedreport::print(*printer, layout(data.credit), data.records);
                              });
}

} // namespace billreport
