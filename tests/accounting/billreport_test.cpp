// The bill report: its bands, how its rows from tempPay fall on pages, and a real PDF.
#include "accountingfixture.h"
#include "bandedreport.h"
#include "billreport.h"

#include <QFile>
#include <QFontInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace accounting_test;

namespace {

const QSize a4Twips(11906, 16838);

ReportRecords billRows(int count) {
    ReportRecords records;
    records.fields = {"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail", "RetName"};
    for (int i = 0; i < count; ++i)
        records.rows << QStringList{QStringLiteral("INV-%1").arg(i),
                                    "2001/5/3",
                                    "37.5",
                                    "09:00:00",
                                    "Ace Books",
                                    "Ace Books"};
    return records;
}

QStringList namesOn(const ReportPage &page) {
    QStringList names;
    for (const PlacedItem &item : page.items)
        names << item.name;
    return names;
}

QStringList invoicesOn(const ReportPage &page) {
    QStringList texts;
    for (const PlacedItem &item : page.items)
        if (item.name == "Text3")
            texts << item.text;
    return texts;
}

int pdfPages(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString pdf = QString::fromLatin1(file.readAll());
    return static_cast<int>(pdf.count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

} // namespace

TEST(BillReport, BandsAreLaidOutAsThePrintedReport) {
    const ReportLayout report = billreport::layout();
    EXPECT_EQ(report.margin, 1440);
    EXPECT_EQ(report.fontFamily, QString::fromUtf8("新細明體"));
    EXPECT_EQ(report.reportHeader.height, 567);
    EXPECT_EQ(report.pageHeader.height, 609);
    EXPECT_EQ(report.detail.height, 342);
    EXPECT_EQ(report.pageFooter.height, 360);
    EXPECT_EQ(report.reportFooter.height, 360);
    EXPECT_TRUE(report.pageFooter.items.isEmpty() && report.reportFooter.items.isEmpty());

    struct Expected {
        const ReportBand *band;
        int index;
        const char *name;
        const char *text;
        QRect rect;
        double pointSize;
        int weight;
    };
    const Expected expected[] = {
        {&report.reportHeader, 0, "Label5", "Bill Report", {0, 0, 3708, 567}, 16.5, 700},
        {&report.pageHeader, 0, "Label1", "Retail", {0, 0, 1704, 564}, 10.5, 700},
        {&report.pageHeader, 1, "Label2", "Invoice Date", {1701, 0, 1440, 567}, 10.5, 700},
        {&report.pageHeader, 2, "Label3", "Invoice No", {3402, 0, 1440, 567}, 10.5, 700},
        {&report.pageHeader, 3, "Label4", "Fee", {5102, 0, 1440, 567}, 10.5, 700},
        {&report.detail, 0, "Text1", "RetName", {0, 0, 1440, 240}, 9, 400},
        {&report.detail, 1, "Text2", "Invoice Date", {1701, 0, 1440, 240}, 9, 400},
        {&report.detail, 2, "Text3", "Invoice No", {3402, 0, 1440, 240}, 9, 400},
        {&report.detail, 3, "Text4", "Fee", {5102, 0, 1440, 240}, 9, 400},
    };
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.name);
        ASSERT_LT(e.index, e.band->items.size());
        const ReportItem &item = e.band->items[e.index];
        EXPECT_EQ(item.name, e.name);
        EXPECT_EQ(item.text, e.text);
        EXPECT_EQ(item.rect, e.rect);
        EXPECT_DOUBLE_EQ(item.pointSize, e.pointSize);
        EXPECT_EQ(item.weight, e.weight);
        EXPECT_EQ(item.kind,
                  e.band == &report.detail ? ReportItem::Kind::Field : ReportItem::Kind::Label);
    }
}

TEST(BillReport, PagesBreakWhenFullWithTheHeadingsOnEveryPage) {
    // A4 leaves 16838 - 2 * 1440 - 360 twips above the page footer: 36 lines under both
    // headers on the first page, 37 under the page header after that.
    struct Case {
        int rows;
        QList<int> linesPerPage;
    };
    const Case cases[] = {{0, {0}}, {1, {1}}, {36, {36}}, {37, {36, 1}}, {80, {36, 37, 7}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rows);
        const QList<ReportPage> pages =
            bandedreport::layoutPages(billreport::layout(), billRows(c.rows), a4Twips);
        ASSERT_EQ(pages.size(), c.linesPerPage.size());
        int next = 0;
        for (int p = 0; p < pages.size(); ++p) {
            const QStringList names = namesOn(pages[p]);
            EXPECT_EQ(names.count("Label5"), p == 0 ? 1 : 0) << "report header on page one only";
            EXPECT_EQ(names.count("Label4"), 1) << "page header on page " << p + 1;
            QStringList expected;
            for (int i = 0; i < c.linesPerPage[p]; ++i)
                expected << QStringLiteral("INV-%1").arg(next++);
            EXPECT_EQ(invoicesOn(pages[p]), expected);
            for (const PlacedItem &item : pages[p].items)
                EXPECT_LE(item.rect.bottom(), a4Twips.height() - 1440 - 360);
        }
    }
}

TEST(BillReport, PlacesBandsDownThePageFromTheMargin) {
    const QList<ReportPage> pages =
        bandedreport::layoutPages(billreport::layout(), billRows(2), a4Twips);
    ASSERT_EQ(pages.size(), 1);
    QMap<QString, QList<QRect>> rects;
    for (const PlacedItem &item : pages[0].items)
        rects[item.name] << item.rect;
    EXPECT_EQ(rects["Label5"], QList<QRect>{QRect(1440, 1440, 3708, 567)});
    EXPECT_EQ(rects["Label2"], QList<QRect>{QRect(1440 + 1701, 1440 + 567, 1440, 567)});
    const int firstLine = 1440 + 567 + 609;
    EXPECT_EQ(rects["Text4"], (QList<QRect>{QRect(1440 + 5102, firstLine, 1440, 240),
                                            QRect(1440 + 5102, firstLine + 342, 1440, 240)}));
}

TEST(BillReport, PrintsTempPayToAPdf) {
    TestShop shop;
    addBill(shop, "Bill", "x", QDate(2001, 5, 3), 1, "09:00:00", "x"); // not in tempPay
    for (int i = 0; i < 40; ++i)
        shop.db.exec(QStringLiteral("INSERT INTO tempPay VALUES ('No%1', '2001-05-%2', %3, "
                                    "'09:00:00', '明日書局', '明日書局')")
                         .arg(i)
                         .arg(1 + i % 9, 2, 10, QLatin1Char('0'))
                         .arg(i * 2.5));
    const ReportRecords records = billreport::readData(shop.db.path());
    ASSERT_EQ(records.rows.size(), 40);
    EXPECT_EQ(records.text(3, "Invoice Date"), "2001/5/4");
    EXPECT_EQ(records.text(3, "Fee"), "7.5");
    EXPECT_EQ(records.text(39, "RetName"), QString::fromUtf8("明日書局"));

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(dir.filePath("bill.pdf"));
    billreport::installFontSubstitution();
    EXPECT_EQ(bandedreport::print(printer, billreport::layout(), records), 2);
    EXPECT_EQ(pdfPages(dir.filePath("bill.pdf")), 2);

    const QList<ReportPage> pages =
        bandedreport::layoutPages(billreport::layout(), records, a4Twips);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(invoicesOn(pages[0]).size() + invoicesOn(pages[1]).size(), 40);
    EXPECT_EQ(invoicesOn(pages[1]).last(), "No39");
}

TEST(BillReport, TheReportFontIsAnInstalledChineseMingFace) {
    billreport::installFontSubstitution();
    const QFontInfo info(QFont(billreport::fontFamily()));
    EXPECT_TRUE(info.family().contains("Ming", Qt::CaseInsensitive)) << info.family().toStdString();
}
