// The bill report's layout, its data from tempPay, and its preview window.
#include "billreport.h"

#include "printpreview.h"
#include "recordsource.h"
#include "screenheading.h"
#include "shoptables.h"

#include <QFont>
#include <QPrintPreviewDialog>
#include <QPrinter>

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

ReportLayout layout() {
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
    return report;
}

ReportRecords readData(const std::shared_ptr<ShopSession> &session) {
    RecordSource data(QStringLiteral("Command1"), session);
    data.open(selectAll(tables::tempPay::table));
    ReportRecords records;
    for (int column = 0; column < data.fieldCount(); ++column)
        records.fields << data.field(column).name;
    for (int row = 0; row < data.recordCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < data.fieldCount(); ++column)
            texts << data.textAt(row, column);
        records.rows << texts;
    }
    return records;
}

QPrintPreviewDialog *openPreview(const ReportRecords &records, QWidget *parent) {
    auto *preview = named<QPrintPreviewDialog>("DataReportBill", parent);
    preview->setWindowTitle(QStringLiteral("DataReport1"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowModality(Qt::NonModal);
    printpreview::fit(preview, QSize(820, 680));
    // The rows are those tempPay held when the preview opened: printing from this window
    // prints what it shows, whatever later listings put into tempPay.
    QObject::connect(
        preview, &QPrintPreviewDialog::paintRequested, preview,
        [records](QPrinter *printer) { bandedreport::print(*printer, layout(), records); });
    preview->show();
    return preview;
}

} // namespace billreport
