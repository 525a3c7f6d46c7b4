// The bill report: its bands, how its rows from tempPay fall on pages, and a real PDF.
#include "accountingfixture.h"
#include "bandedreport.h"
#include "billreport.h"
#include "shopsession.h"

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
    const ReportRecords records = billreport::readData(ShopSession::open(shop.db.shop())).records;
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
