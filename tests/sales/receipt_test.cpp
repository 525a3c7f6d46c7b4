// The customer's receipt: every line of a long sale printed, pages broken on A4 and Letter, one
// strip on a till roll, printed for real to PDF; the commands on the selling screen.
#include "receiptcommands.h"
#include "receiptlist.h"
#include "receiptprint.h"
#include "receiptsettings.h"
#include "sellscreen.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

Receipt longSale(int lines) {
    Receipt receipt;
    receipt.shopName = "Harbour Books";
    receipt.when = QDateTime(QDate(2001, 5, 3), QTime(10, 30));
    for (int i = 0; i < lines; ++i)
        receipt.lines.push_back({i % 3 == 0 ? QString("紅樓夢 第%1回").arg(i + 1)
                                            : QString("Title number %1 of the sale").arg(i + 1),
                                 "12.5", i % 4 == 0, "2", "25"});
    receipt.total = QString::number(lines * 25);
    receipt.footer = "Thank you! Returns within 14 days with this receipt.";
    return receipt;
}

struct PdfPages {
    int count = 0;
    QList<QSizeF> sizes; // in points
};

// Reads the pages back from the PDF file as any PDF reader would find them.
PdfPages readPdf(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString pdf = QString::fromLatin1(file.readAll());
    PdfPages pages;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    pages.count = static_cast<int>(pdf.count(page));
    static const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    for (auto it = box.globalMatch(pdf); it.hasNext();) {
        const auto match = it.next();
        pages.sizes << QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return pages;
}

} // namespace

TEST(ReceiptPrint, HoldsEveryLineBreaksPagesOnSheetsAndRunsOnForARoll) {
    QTemporaryDir dir;
    const Receipt receipt = longSale(120);
    struct Case {
        receipt::Paper paper;
        QSizeF points; // width; height 0 for a roll's own length
        bool manyPages;
    };
    const Case cases[] = {{receipt::Paper::A4, QSizeF(595, 842), true},
                          {receipt::Paper::Letter, QSizeF(612, 792), true},
                          {receipt::Paper::Roll80, QSizeF(226.8, 0), false},
                          {receipt::Paper::Roll58, QSizeF(164.4, 0), false}};
    for (const Case &c : cases) {
        const QString name = receipt::paperName(c.paper);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name + ".pdf"));
        receipt::setPaper(printer, c.paper);
        const std::vector<receipt::Placed> placed = receipt::layOut(receipt, printer);
        const int printed = receipt::print(receipt, printer);

        // Every line once, in order, its amounts on the same page as its title, all of it
        // inside the printable area of its page.
        const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
        int next = 0;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const receipt::Placed &item = placed[i];
            EXPECT_LE(item.rect.bottom(), area.height() + 0.5) << name.toStdString() << i;
            EXPECT_LE(item.rect.right(), area.width() + 0.5) << name.toStdString() << i;
            if (next < static_cast<int>(receipt.lines.size()) &&
                item.text == receipt.lines[static_cast<std::size_t>(next)].title) {
                EXPECT_EQ(placed[i + 1].text, next % 4 == 0 ? "   2 x 12.5 *" : "   2 x 12.5");
                EXPECT_EQ(placed[i + 2].text, "25");
                EXPECT_EQ(placed[i + 2].page, item.page);
                ++next;
            }
        }
        EXPECT_EQ(next, 120) << name.toStdString();
        EXPECT_EQ(placed.front().text, "Harbour Books");
        EXPECT_EQ(placed.back().text, receipt.footer);

        const PdfPages pdf = readPdf(printer.outputFileName());
        EXPECT_EQ(pdf.count, printed) << name.toStdString();
        EXPECT_EQ(pdf.count, placed.back().page + 1) << name.toStdString();
        EXPECT_EQ(pdf.count > 1, c.manyPages) << name.toStdString() << " " << pdf.count;
        ASSERT_EQ(pdf.sizes.size(), pdf.count);
        for (const QSizeF &size : pdf.sizes) {
            EXPECT_NEAR(size.width(), c.points.width(), 1) << name.toStdString();
            if (c.points.height() > 0)
                EXPECT_NEAR(size.height(), c.points.height(), 1) << name.toStdString();
            else // a strip longer than any sheet, for 120 lines
                EXPECT_GT(size.height(), 842 * 2) << name.toStdString();
        }
    }
}

TEST(ReceiptCommandsTest, PrintsTheCustomersListWithoutChangingAnything) {
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    TestShop shop;
    shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                 "('111', 'Short', 12.5, 10), ('222', '紅樓夢', 8, 4)");
    shop.db.exec("INSERT INTO onsale VALUES ('222', 6.5, '2001-05-01', '2001-05-31')");
    SellScreen screen(shop.context);
    auto *commands = screen.findChild<ReceiptCommands *>("receiptCommands");
    ASSERT_NE(commands, nullptr);
    EXPECT_EQ(commands->printAction()->shortcut(), QKeySequence(QKeySequence::Print));
    EXPECT_EQ(commands->printAction()->shortcutContext(), Qt::WidgetWithChildrenShortcut);
    EXPECT_EQ(screen.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_TRUE(screen.actions().contains(commands->printAction()));
    EXPECT_TRUE(screen.actions().contains(commands->settingsAction()));

    EXPECT_EQ(commands->printReceipt(), nullptr); // nothing sold yet
    EXPECT_EQ(shop.messages.texts().size(), 1);

    const ReceiptSettings unset = ReceiptSettings::load();
    EXPECT_EQ(unset.shopName, "");
    EXPECT_EQ(unset.footer, "");
    ReceiptSettings{"Harbour Books", "Thank you", receipt::Paper::Roll58}.save();

    for (const auto &[isbn, copies] : {std::pair{"111", "3"}, std::pair{"222", "2"}}) {
        screen.findChild<QLineEdit *>("Text1")->setText(isbn);
        screen.findChild<QLineEdit *>("Text2")->setText(copies);
        screen.lookup();
        screen.recordSale();
    }
    const Receipt receipt = commands->receiptToPrint();
    EXPECT_EQ(receipt.shopName, "Harbour Books");
    EXPECT_EQ(receipt.footer, "Thank you");
    EXPECT_EQ(receipt.when, QDateTime(QDate(2001, 5, 3), QTime(10, 30)));
    ASSERT_EQ(receipt.lines.size(), 2u);
    EXPECT_EQ(receipt.lines[0].title, "Short");
    EXPECT_EQ(receipt.lines[0].price, "12.5");
    EXPECT_FALSE(receipt.lines[0].onOffer);
    EXPECT_EQ(receipt.lines[0].subtotal, "37.5");
    EXPECT_EQ(receipt.lines[1].title, "紅樓夢");
    EXPECT_EQ(receipt.lines[1].price, "6.5");
    EXPECT_TRUE(receipt.lines[1].onOffer);
    EXPECT_EQ(receipt.lines[1].quantity, "2");
    EXPECT_EQ(receipt.total, "51");

    const QStringList sales = shop.db.rows("SELECT * FROM soldbook");
    const QStringList titles = shop.db.rows("SELECT * FROM Titles");
    auto *list = screen.findChild<ReceiptList *>("Pic");
    // Ctrl+P typed in the window's ISBN box opens the preview of this customer's receipt.
    screen.show();
    QApplication::setActiveWindow(&screen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    QTest::keyClick(screen.findChild<QLineEdit *>("Text1"), Qt::Key_P, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QPrintPreviewDialog *preview = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == "receiptPreview" && top->isVisible())
            preview = qobject_cast<QPrintPreviewDialog *>(top);
    ASSERT_NE(preview, nullptr);
    preview->close();
    EXPECT_EQ(shop.db.rows("SELECT * FROM soldbook"), sales);
    EXPECT_EQ(shop.db.rows("SELECT * FROM Titles"), titles);
    EXPECT_EQ(list->lineCount(), 2);
    EXPECT_EQ(screen.findChild<QLabel *>("Label6")->text(), "51");

    screen.nextCustomer(); // the next customer's receipt starts empty
    EXPECT_TRUE(commands->receiptToPrint().lines.empty());
}
